#pragma once
// Modal message boxes, behind an interface so that tests record them instead.

#include <string_view>

namespace vantora {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows a modal message (UTF-8) and returns when the user has closed it.
    virtual void ShowMessage(std::string_view text) = 0;
};

}  // namespace vantora
