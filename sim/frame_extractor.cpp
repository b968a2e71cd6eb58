#include "frame_extractor.h"

#include "link/unit_frame.h"

#include <algorithm>

namespace vantora::sim {

void FrameExtractor::reset()
{
    m_discarded += m_buffer.size();
    m_buffer.clear();
}

bool FrameExtractor::completeFrameAt(std::size_t at) const
{
    if (m_buffer[at] != kStartByte || m_buffer.size() - at < 4)
        return false;
    const std::uint8_t length = m_buffer[at + 3];
    const std::size_t frameSize = std::size_t(length) + 5;
    if (length == 0 || length > kMaxLength || m_buffer.size() - at < frameSize)
        return false;
    return Checksum8(m_buffer.data() + at, frameSize - 1) == m_buffer[at + frameSize - 1];
}

std::vector<Bytes> FrameExtractor::feed(const std::uint8_t* data, std::size_t size, Time now)
{
    if (!m_buffer.empty() && now - m_lastByte > m_gapTimeout)
        reset();
    if (size > 0)
        m_lastByte = now;
    m_buffer.insert(m_buffer.end(), data, data + size);

    std::vector<Bytes> frames;
    std::size_t start = 0;
    while (true) {
        const auto next = std::find(m_buffer.begin() + start, m_buffer.end(), kStartByte);
        m_discarded += static_cast<std::size_t>(next - (m_buffer.begin() + start));
        start = static_cast<std::size_t>(next - m_buffer.begin());
        if (m_buffer.size() - start < 4)
            break;
        const std::uint8_t length = m_buffer[start + 3];
        if (length == 0 || length > kMaxLength) {
            ++start;
            ++m_discarded;
            continue;
        }
        const std::size_t frameSize = std::size_t(length) + 5;
        if (m_buffer.size() - start < frameSize) {
            // Still incomplete. If a whole valid frame already starts inside it, the candidate was
            // noise: move on instead of holding that frame back until enough bytes have come.
            std::size_t later = start + 1;
            while (later < m_buffer.size() && !completeFrameAt(later))
                ++later;
            if (later == m_buffer.size())
                break;
            m_discarded += later - start;
            start = later;
            continue;
        }
        const std::uint8_t* frame = m_buffer.data() + start;
        if (Checksum8(frame, frameSize - 1) != frame[frameSize - 1]) {
            ++start;
            ++m_discarded;
            continue;
        }
        frames.emplace_back(frame, frame + frameSize);
        start += frameSize;
    }
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(start));
    return frames;
}

}  // namespace vantora::sim
