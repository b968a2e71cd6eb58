#pragma once
// The simulated control unit: two rotators, the unit's settings and its answer to every command.
//
// Time is injected: the model moves only when advance() is called, so tests step it exactly and the
// simulator program drives it from the steady clock.
//
// Motion model:
// - Rotator 1 always turns in azimuth; rotator 2 in azimuth (mode2 1) or elevation (mode2 2).
// - An azimuth rotator has a mechanical stop at its limit-switch azimuth and can never pass it:
//   its travel runs clockwise from the limit switch through 360 degrees back to it. A go-to takes the
//   way that does not cross the stop (from 170 to 190 with the stop at 180 turns through north);
//   manual drive stops at the stop.
// - In elevation mode rotator 2 moves between 0 and maxElevation2; go-to targets are clamped into
//   that range. A position outside it (written by a sensor command, or left by lowering the maximum)
//   may be driven back toward the range but never further out.
// - Manual drive: the arrow keys of the last manual-drive poll stay in effect for kManualHold after
//   it, as a real unit's watchdog would; a new poll replaces them. Right and Left turn the active
//   azimuth rotator (rotator 1 whenever rotator 2 is in elevation mode), Up and Down turn rotator 2
//   in elevation mode. A held key cancels that rotator's go-to; a go-to cancels the held keys.
// - Sensitivity, inertia and inertia time are stored and reported but do not shape the motion.

#include "response_frames.h"
#include "unit_config.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantora::sim {

using namespace std::chrono_literals;

struct UnitModelOptions {
    std::uint16_t firmwareVersion = 263;  // high byte major, low byte minor (263 = 1.07)
    double azimuthSpeed = 6.0;            // degrees per second
    double elevationSpeed = 3.0;          // degrees per second
    std::chrono::microseconds manualHold = 250ms;
};

class UnitModel {
public:
    using Duration = std::chrono::microseconds;

    explicit UnitModel(UnitModelOptions options = {}, UnitConfig config = {});

    // Moves the rotators by `dt` of simulated time.
    void advance(Duration dt);

    // Handles one complete command frame. Returns the single response frame, or nothing when the
    // unit ignores the frame (bad checksum or length, another destination, unknown code, payload
    // shorter than the command needs).
    std::optional<Bytes> handle(const std::uint8_t* frame, std::size_t size);
    std::optional<Bytes> handle(const Bytes& frame) { return handle(frame.data(), frame.size()); }

    PositionReport report() const;
    // Signed degrees as the position report carries them (rotator 1 or 2).
    int position(int rotator) const;
    // A go-to in progress or a held key turning the rotator.
    bool moving(int rotator) const;
    void setPosition(int rotator, int degrees);
    void setStatus(int rotator, std::uint8_t status);
    std::uint8_t activeRotator() const { return m_activeRotator; }
    const UnitConfig& config() const { return m_config; }
    std::uint16_t firmwareVersion() const { return m_options.firmwareVersion; }
    Duration now() const { return m_now; }

    // Called after every command that changed the stored settings (16, 17, 18, 20).
    void setConfigListener(std::function<void(const UnitConfig&)> listener) { m_listener = std::move(listener); }

private:
    struct Rotator {
        // Azimuth: travel clockwise from the limit switch, 0..360. Elevation: degrees.
        double value = 0;
        std::optional<double> target;  // same coordinates as value
        std::uint8_t status = 1;
    };
    struct Keys {
        bool right = false, left = false, up = false, down = false;
    };

    bool isElevation(int index) const;
    std::uint16_t limitSwitch(int index) const;
    double reading(int index) const;  // continuous degrees as the sensor reports
    void setReading(int index, double degrees);
    void setTarget(int index, int degrees);
    int manualDirection(int index) const;
    bool keysLive() const;
    void step(int index, double seconds, int direction);
    void configChanged();

    Bytes goTo(const std::uint8_t* payload);
    Bytes manualDrive(const std::uint8_t* payload);
    Bytes stop();
    Bytes writeRotator1(const std::uint8_t* payload);
    Bytes writeRotator2(const std::uint8_t* payload);
    Bytes sensor(const std::uint8_t* payload, std::size_t payloadSize);

    UnitModelOptions m_options;
    UnitConfig m_config;
    std::array<Rotator, 2> m_rotators;
    std::uint8_t m_activeRotator = 0;
    Keys m_keys;
    bool m_keysHeld = false;
    Duration m_keysUntil{0};
    Duration m_now{0};
    std::function<void(const UnitConfig&)> m_listener;
};

}  // namespace vantora::sim
