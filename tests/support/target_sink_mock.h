#pragma once
// A mock of the one entry every target goes through (Nastav), for tracking and TCP tests.

#include "track/target_sink.h"

#include <gmock/gmock.h>

namespace vantora::test {

class MockTargetSink : public TargetSink {
public:
    MOCK_METHOD(void, Nastav, (int code, int value1, int value2), (override));
};

}  // namespace vantora::test
