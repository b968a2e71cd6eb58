#pragma once
// Spoils the unit's responses on purpose, to show how the program copes with a poor line.
//
// Every response passes through submit(); what is to be written, and when, comes out of takeDue().
// Decisions are drawn from a seeded generator (four draws per response, in a fixed order), so a
// given seed and sequence of responses always gives the same faults. Writes leave in the order the
// responses were made: a write is never due before the one queued ahead of it.

#include "response_frames.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <vector>

namespace vantora::sim {

struct FaultConfig {
    double dropPercent = 0;     // 0..100: the response is not sent at all
    double corruptPercent = 0;  // one byte of the response is changed, so its checksum fails
    double splitPercent = 0;    // the response goes out in two writes, splitDelay apart
    double mergePercent = 0;    // the response is held back and written together with the next one
    std::chrono::microseconds splitDelay = std::chrono::milliseconds(60);
    // A held response waits at most this long for a partner, then goes out alone.
    std::chrono::microseconds mergeHold = std::chrono::milliseconds(250);
    // Silence: from silenceAfter (since the start) for silenceFor, no response is sent.
    std::optional<std::chrono::microseconds> silenceAfter;
    std::chrono::microseconds silenceFor{0};
    std::uint64_t seed = 1;
};

struct FaultStats {
    std::uint64_t responses = 0;  // submitted
    std::uint64_t silenced = 0;
    std::uint64_t dropped = 0;
    std::uint64_t corrupted = 0;
    std::uint64_t split = 0;
    std::uint64_t merged = 0;     // pairs written as one
    std::uint64_t writes = 0;     // handed out by takeDue
};

class FaultInjector {
public:
    using Time = std::chrono::microseconds;

    explicit FaultInjector(FaultConfig config = {});

    void submit(Bytes response, Time now);
    // Writes due by `now`, in order.
    std::vector<Bytes> takeDue(Time now);
    // When the next write falls due (nothing when idle).
    std::optional<Time> nextDue() const;
    // Forgets queued and held writes (nobody is listening any more).
    void clear();

    bool silent(Time now) const;
    const FaultStats& stats() const { return m_stats; }
    const FaultConfig& config() const { return m_config; }

private:
    struct Write {
        Time due;
        Bytes bytes;
    };

    double draw();  // uniform in [0, 1), the same on every platform
    void enqueue(Bytes bytes, Time due);

    FaultConfig m_config;
    std::mt19937_64 m_random;
    std::deque<Write> m_queue;
    std::optional<Bytes> m_held;
    Time m_heldSince{0};
    Time m_lastDue{0};
    FaultStats m_stats;
};

}  // namespace vantora::sim
