#pragma once
// Cuts a port 1023 client's byte stream into messages by the messages' own layout, so that
// messages written together are each taken and one that arrives in pieces is put together:
//   query  "$00"
//   set    "$01", one byte (normally "#"), three digits; a closing "@" or anything else up to
//          the next "$" is skipped.
// Bytes before a "$" that starts a message are skipped; an unfinished message is kept (at most
// kTcpFramedMessageMax - 1 bytes) until the bytes that finish it, or show it is none, arrive.
// A client that writes one whole message per write gets the same messages as when each read was
// one message.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantora {

inline constexpr std::size_t kTcpFramedMessageMax = 7;  // "$01#123"

class TcpMessageFramer {
public:
    // The whole messages that `bytes` completes, in order.
    std::vector<std::string> Feed(std::string_view bytes);

    // Bytes of an unfinished message waiting for the rest.
    const std::string& pending() const { return m_pending; }

private:
    std::string m_pending;
};

}  // namespace vantora
