#pragma once
// Finds command frames in the byte stream from the program. A serial line (or a pseudo-terminal)
// keeps no frame boundaries: one read may hold part of a frame, or several frames.
//
// A frame starts with 42, its length byte L (offset 3) gives the size L + 5, and its last byte is the
// 8-bit sum of the others. Where a candidate fails (L out of range, wrong sum), the extractor drops
// its first byte and looks for the next 42, so it falls back into step after noise; an incomplete
// candidate is abandoned as soon as a complete valid frame starts inside it. Bytes that wait
// longer than the gap time-out for the rest of their frame are discarded: the program sends each
// frame in one write, so a stale fragment belongs to no frame that is still coming.

#include "response_frames.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantora::sim {

class FrameExtractor {
public:
    using Time = std::chrono::microseconds;  // any monotonic time base
    // The longest command frame is 21 bytes; a unit's receive buffer is small. Candidates with a
    // length byte above this are noise, which keeps a false start from holding frames back for long.
    static constexpr std::uint8_t kMaxLength = 32;

    explicit FrameExtractor(Time gapTimeout = std::chrono::milliseconds(100)) : m_gapTimeout(gapTimeout) {}

    // Adds bytes that arrived at `now`; returns every complete frame with a valid checksum, in order.
    std::vector<Bytes> feed(const std::uint8_t* data, std::size_t size, Time now);
    // Forgets any partial frame (the other end closed the line).
    void reset();

    std::size_t pendingBytes() const { return m_buffer.size(); }
    std::size_t discardedBytes() const { return m_discarded; }

private:
    bool completeFrameAt(std::size_t at) const;

    Bytes m_buffer;
    Time m_gapTimeout;
    Time m_lastByte{0};
    std::size_t m_discarded = 0;
};

}  // namespace vantora::sim
