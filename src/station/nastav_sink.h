#pragma once
// Hands the targets of tracking and the TCP server to Nastav over the main window's records.

#include "station/nastav.h"
#include "track/target_sink.h"

namespace vantora {

class NastavSink : public TargetSink {
public:
    explicit NastavSink(NastavTarget target) : m_target(target) {}
    void Nastav(int code, int value1, int value2) override { vantora::Nastav(code, value1, value2, m_target); }

private:
    NastavTarget m_target;
};

}  // namespace vantora
