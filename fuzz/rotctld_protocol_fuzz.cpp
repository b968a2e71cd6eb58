// Any bytes from a rotctld client, in any state of the unit: the session never crashes, every
// reply is whole lines of printable text, a target reaches the station only within its ranges and
// only with an "RPRT 0", a hand drive holds exactly one arrow key, the quiet after an unended
// line never changes anything, and how the bytes are cut into segments changes nothing.
#include "net/rotctld_protocol.h"

#include <cmath>
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

struct Call {
    char what;
    int code;
    int azimuth;
    int elevation;
    bool operator==(const Call&) const = default;
};

class RecordingActions : public vantora::RotctldActions {
public:
    void SetPosition(int code, int azimuth, int elevation) override { calls.push_back({'P', code, azimuth, elevation}); }
    void Stop() override { calls.push_back({'S', 0, 0, 0}); }
    void Park() override { calls.push_back({'K', 0, 0, 0}); }
    void Move(vantora::ArrowKeys keys) override
    {
        calls.push_back({'M', keys.right + keys.left + keys.up + keys.down, keys.right, keys.up});
    }
    std::vector<Call> calls;
};

struct Outcome {
    std::string replies;
    std::vector<Call> calls;
    bool closed = false;
};

// Feeds the bytes in segments of the given size (0: all at once), then runs what is left
// without a line end as the server does after a quiet spell, and then at the client's end.
Outcome Run(std::string_view bytes, std::size_t segment, const vantora::RotctldState& state)
{
    vantora::RotctldSession session;
    RecordingActions actions;
    Outcome outcome;
    if (segment == 0)
        segment = bytes.size() + 1;
    for (std::size_t at = 0; at < bytes.size(); at += segment)
        outcome.replies += session.Feed(bytes.substr(at, segment), state, actions);
    const std::size_t before = actions.calls.size();
    outcome.replies += session.RunPending(state, actions);
    Check(actions.calls.size() == before);  // only queries run from the quiet
    outcome.replies += session.RunAtEnd(state, actions);
    Check(!session.hasPending() || session.closeRequested());
    outcome.calls = actions.calls;
    outcome.closed = session.closeRequested();
    return outcome;
}

std::size_t Count(std::string_view text, std::string_view what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    vantora::RotctldState state;
    state.positionFresh = (data[0] & 1) != 0;
    state.rotator2Mode = static_cast<std::uint8_t>((data[0] >> 1) % 4);  // 0..3: none, azimuth, elevation, odd
    state.beamAzimuth = data[0] >> 3;
    state.rotator2Position = -static_cast<int>(data[1] % 8);
    state.info = "Vantora 1.09";
    state.azimuthTurning = (data[1] & 1) != 0;
    state.elevationTurning = (data[1] & 2) != 0;
    state.handDrive.left = (data[1] & 4) != 0;
    const std::size_t segment = data[1] >> 3;  // 0..31
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

    const Outcome outcome = Run(bytes, segment, state);
    const Outcome whole = Run(bytes, 0, state);
    const Outcome byteByByte = Run(bytes, 1, state);
    Check(outcome.replies == whole.replies && outcome.calls == whole.calls && outcome.closed == whole.closed);
    Check(byteByByte.replies == whole.replies && byteByByte.calls == whole.calls);

    // Whole lines of printable text (the caps dump lines up its values with tabs).
    Check(outcome.replies.empty() || outcome.replies.back() == '\n');
    for (const char c : outcome.replies)
        Check(c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7f));

    // Every action was answered with success; targets only in range, and only once the unit has
    // said what rotator 2 is.
    Check(outcome.calls.size() <= Count(outcome.replies, "RPRT 0\n"));
    for (const Call& call : outcome.calls) {
        if (call.what == 'M')
            Check(call.code == 1);  // one arrow key, never none, never two
        if (call.what != 'P')
            continue;
        Check(state.rotator2Mode == 1 || state.rotator2Mode == 2);
        Check(call.code == (state.rotator2Mode == 1 ? 1 : 3));
        Check(call.azimuth >= 0 && call.azimuth <= 359);
        Check(call.elevation >= 0 && call.elevation <= vantora::kRotctldMaxElevation);
        if (call.code == 1)
            Check(call.elevation == 0);
    }
    const auto number = vantora::ParseRotctldNumber(bytes.substr(0, 80));
    if (number)
        Check(std::isfinite(*number));
    return 0;
}
