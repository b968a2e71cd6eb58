// Any byte stream from a port 1023 client, cut into reads anywhere: the framer yields the same
// messages however the stream is cut, each a whole query or set message taken from the stream in
// order, and it never keeps more than an unfinished message.
#include "track/tcp_framer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool WellFormed(const std::string& m)
{
    if (m == "$00")
        return true;
    return m.size() == 7 && m.compare(0, 3, "$01") == 0 && IsDigit(m[4]) && IsDigit(m[5]) && IsDigit(m[6]);
}

std::vector<std::string> FeedInPieces(std::string_view stream, std::string_view cuts)
{
    vantora::TcpMessageFramer framer;
    std::vector<std::string> all;
    std::size_t cut = 0;
    while (!stream.empty()) {
        // Each cut byte gives the length of the next read, 1..16.
        const std::size_t length =
            cuts.empty() ? stream.size() : static_cast<unsigned char>(cuts[cut++ % cuts.size()]) % 16 + 1;
        const std::string_view piece = stream.substr(0, length);
        stream.remove_prefix(piece.size());
        for (std::string& m : framer.Feed(piece))
            all.push_back(std::move(m));
        Check(framer.pending().size() < vantora::kTcpFramedMessageMax);
        Check(framer.pending().empty() || framer.pending()[0] == '$');
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first byte says how many of the next bytes choose the read lengths; the rest is the
    // stream.
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty())
        return 0;
    const std::size_t cutBytes = std::min<std::size_t>(static_cast<unsigned char>(input[0]) % 8, input.size() - 1);
    const std::string_view cuts = input.substr(1, cutBytes);
    const std::string_view stream = input.substr(1 + cutBytes);

    const std::vector<std::string> whole = FeedInPieces(stream, {});
    Check(FeedInPieces(stream, cuts) == whole);
    // Each message stands in the stream, in order, without overlapping the one before.
    std::size_t from = 0;
    for (const std::string& m : whole) {
        Check(WellFormed(m));
        const std::size_t at = stream.find(m, from);
        Check(at != std::string_view::npos);
        from = at + m.size();
    }
    return 0;
}
