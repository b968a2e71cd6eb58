#include "track/tcp_framer.h"

namespace vantora {

namespace {

enum class Shape { Whole, Unfinished, NoMessage };

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// What the bytes from a "$" on are; `length` is set for a whole message.
Shape Classify(std::string_view text, std::size_t& length)
{
    if (text.size() < 2)
        return Shape::Unfinished;
    if (text[1] != '0')
        return Shape::NoMessage;
    if (text.size() < 3)
        return Shape::Unfinished;
    if (text[2] == '0') {
        length = 3;
        return Shape::Whole;
    }
    if (text[2] != '1')
        return Shape::NoMessage;
    // Byte 3 is any byte; bytes 4..6 are the digits.
    for (std::size_t i = 4; i < kTcpFramedMessageMax; ++i) {
        if (text.size() <= i)
            return Shape::Unfinished;
        if (!IsDigit(text[i]))
            return Shape::NoMessage;
    }
    length = kTcpFramedMessageMax;
    return Shape::Whole;
}

}  // namespace

std::vector<std::string> TcpMessageFramer::Feed(std::string_view bytes)
{
    std::vector<std::string> messages;
    std::string text = std::move(m_pending);
    m_pending.clear();
    text.append(bytes);
    const std::string_view all(text);
    std::size_t at = all.find('$');
    while (at != std::string_view::npos) {
        std::size_t length = 0;
        switch (Classify(all.substr(at), length)) {
        case Shape::Whole:
            messages.emplace_back(all.substr(at, length));
            at = all.find('$', at + length);
            break;
        case Shape::Unfinished: m_pending.assign(all.substr(at)); return messages;
        case Shape::NoMessage: at = all.find('$', at + 1); break;
        }
    }
    return messages;
}

}  // namespace vantora
