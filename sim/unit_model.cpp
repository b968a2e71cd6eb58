#include "unit_model.h"

#include "link/unit_frame.h"

#include <algorithm>
#include <cmath>

namespace vantora::sim {

namespace {

constexpr double kTurn = 360.0;

double Wrap360(double degrees)
{
    double wrapped = std::fmod(degrees, kTurn);
    if (wrapped < 0)
        wrapped += kTurn;
    return wrapped >= kTurn ? 0.0 : wrapped;
}

std::uint16_t U16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::int16_t S16(const std::uint8_t* bytes)
{
    return static_cast<std::int16_t>(U16(bytes));
}

// Payload bytes each command needs (its length byte minus the code).
std::optional<std::size_t> PayloadNeeded(std::uint8_t code)
{
    switch (static_cast<CommandCode>(code)) {
    case CommandCode::CmdGoto: return 6;
    case CommandCode::CmdManual: return 4;
    case CommandCode::CmdStop:
    case CommandCode::CmdReadSettings:
    case CommandCode::CmdWriteDisplay:
    case CommandCode::CmdSelectRotator:
    case CommandCode::CmdReadVersion: return 1;
    case CommandCode::CmdWriteSensorIds: return 2;
    case CommandCode::CmdWriteRotator1: return 13;
    case CommandCode::CmdWriteRotator2: return 15;
    case CommandCode::CmdSensor: return 2;
    }
    return std::nullopt;
}

LcdText TextAt(const std::uint8_t* bytes)
{
    LcdText text;
    std::copy(bytes, bytes + text.size(), text.begin());
    return text;
}

}  // namespace

UnitModel::UnitModel(UnitModelOptions options, UnitConfig config)
    : m_options(options), m_config(config)
{
    Normalize(m_config);
    setReading(0, 0);
    setReading(1, 0);
}

bool UnitModel::isElevation(int index) const
{
    return index == 1 && m_config.mode2 == kModeElevation;
}

std::uint16_t UnitModel::limitSwitch(int index) const
{
    return index == 0 ? m_config.limitSwitch1 : m_config.limitSwitch2;
}

double UnitModel::reading(int index) const
{
    const Rotator& r = m_rotators[index];
    return isElevation(index) ? r.value : Wrap360(limitSwitch(index) + r.value);
}

void UnitModel::setReading(int index, double degrees)
{
    Rotator& r = m_rotators[index];
    r.value = isElevation(index) ? degrees : Wrap360(degrees - limitSwitch(index));
}

int UnitModel::position(int rotator) const
{
    const int index = rotator == 2 ? 1 : 0;
    const long rounded = std::lround(reading(index));
    return isElevation(index) ? static_cast<int>(rounded) : static_cast<int>(rounded % 360);
}

void UnitModel::setPosition(int rotator, int degrees)
{
    const int index = rotator == 2 ? 1 : 0;
    setReading(index, degrees);
    m_rotators[index].target.reset();
}

void UnitModel::setStatus(int rotator, std::uint8_t status)
{
    m_rotators[rotator == 2 ? 1 : 0].status = status;
}

void UnitModel::setTarget(int index, int degrees)
{
    Rotator& r = m_rotators[index];
    if (isElevation(index)) {
        r.target = std::clamp<double>(degrees, 0, m_config.maxElevation2);
        return;
    }
    double travel = Wrap360(degrees - limitSwitch(index));
    // The stop itself is reachable from both sides; take the nearer one.
    if (travel == 0 && r.value > kTurn / 2)
        travel = kTurn;
    r.target = travel;
}

bool UnitModel::keysLive() const
{
    return m_keysHeld && m_now < m_keysUntil;
}

int UnitModel::manualDirection(int index) const
{
    if (!keysLive())
        return 0;
    const int azimuthIndex = (m_activeRotator == 1 && m_config.mode2 == kModeAzimuth) ? 1 : 0;
    if (index == azimuthIndex)
        return int(m_keys.right) - int(m_keys.left);
    if (isElevation(index))
        return int(m_keys.up) - int(m_keys.down);
    return 0;
}

bool UnitModel::moving(int rotator) const
{
    const int index = rotator == 2 ? 1 : 0;
    return m_rotators[index].target.has_value() || manualDirection(index) != 0;
}

void UnitModel::step(int index, double seconds, int direction)
{
    Rotator& r = m_rotators[index];
    const double distance = (isElevation(index) ? m_options.elevationSpeed : m_options.azimuthSpeed) * seconds;
    if (direction != 0) {
        const double wanted = r.value + direction * distance;
        if (!isElevation(index)) {
            r.value = std::clamp(wanted, 0.0, kTurn);
        } else if (direction < 0) {
            r.value = std::max(wanted, std::min(0.0, r.value));
        } else {
            r.value = std::min(wanted, std::max<double>(m_config.maxElevation2, r.value));
        }
        return;
    }
    if (!r.target)
        return;
    const double remaining = *r.target - r.value;
    if (std::abs(remaining) <= distance) {
        r.value = *r.target;
        r.target.reset();
    } else {
        r.value += remaining > 0 ? distance : -distance;
    }
}

void UnitModel::advance(Duration dt)
{
    while (dt.count() > 0) {
        const bool live = keysLive();
        const Duration chunk = live ? std::min(dt, m_keysUntil - m_now) : dt;
        const double seconds = std::chrono::duration<double>(chunk).count();
        const int direction1 = manualDirection(0);
        const int direction2 = manualDirection(1);
        step(0, seconds, direction1);
        step(1, seconds, direction2);
        m_now += chunk;
        dt -= chunk;
        if (m_keysHeld && !keysLive())
            m_keysHeld = false;
    }
}

PositionReport UnitModel::report() const
{
    PositionReport report;
    report.position1 = position(1);
    report.status1 = m_rotators[0].status;
    report.position2 = position(2);
    report.status2 = m_rotators[1].status;
    report.rotator2Mode = m_config.mode2;
    report.activeRotator = m_activeRotator;
    return report;
}

void UnitModel::configChanged()
{
    if (m_listener)
        m_listener(m_config);
}

std::optional<Bytes> UnitModel::handle(const std::uint8_t* frame, std::size_t size)
{
    if (size < 6 || frame[0] != kStartByte || std::size_t(frame[3]) + 5 != size)
        return std::nullopt;
    if (Checksum8(frame, size - 1) != frame[size - 1] || frame[2] != kUnitAddress)
        return std::nullopt;
    const std::uint8_t code = frame[4];
    const std::size_t payloadSize = size - 6;
    const auto needed = PayloadNeeded(code);
    if (!needed || payloadSize < *needed)
        return std::nullopt;
    const std::uint8_t* payload = frame + 5;

    switch (static_cast<CommandCode>(code)) {
    case CommandCode::CmdGoto:
        return goTo(payload);
    case CommandCode::CmdManual:
        return manualDrive(payload);
    case CommandCode::CmdStop:
        return stop();
    case CommandCode::CmdReadSettings:
        return BuildSettingsReport(m_config);
    case CommandCode::CmdWriteSensorIds:
        m_config.sensorId1 = payload[0];
        m_config.sensorId2 = payload[1];
        configChanged();
        return BuildAck(code);
    case CommandCode::CmdWriteRotator1:
        return writeRotator1(payload);
    case CommandCode::CmdWriteRotator2:
        return writeRotator2(payload);
    case CommandCode::CmdSensor:
        return sensor(payload, payloadSize);
    case CommandCode::CmdWriteDisplay:
        m_config.display20 = payload[0] != 0 ? 1 : 0;
        configChanged();
        return BuildAck(code);
    case CommandCode::CmdSelectRotator:
        // Only 0 and 1 name a rotator; anything else leaves the selection as it was.
        if (payload[0] <= 1)
            m_activeRotator = payload[0];
        return BuildPositionReport(report());
    case CommandCode::CmdReadVersion:
        return BuildVersionReport(m_options.firmwareVersion);
    }
    return std::nullopt;
}

Bytes UnitModel::goTo(const std::uint8_t* payload)
{
    const bool move1 = payload[2] == 1;
    const bool move2 = payload[5] == 1;
    if (move1)
        setTarget(0, S16(payload));
    if (move2)
        setTarget(1, S16(payload + 3));
    if (move1 || move2)
        m_keysHeld = false;
    const auto pair = [](bool moved) { return std::uint8_t(moved ? 1 : 0); };
    return BuildAck(static_cast<std::uint8_t>(CommandCode::CmdGoto), {pair(move1), 0, pair(move2), 0});
}

Bytes UnitModel::manualDrive(const std::uint8_t* payload)
{
    m_keys = Keys{payload[0] != 0, payload[1] != 0, payload[2] != 0, payload[3] != 0};
    m_keysHeld = m_keys.right || m_keys.left || m_keys.up || m_keys.down;
    m_keysUntil = m_now + m_options.manualHold;
    for (int index = 0; index < 2; ++index) {
        if (manualDirection(index) != 0)
            m_rotators[index].target.reset();
    }
    return BuildPositionReport(report());
}

Bytes UnitModel::stop()
{
    for (Rotator& r : m_rotators)
        r.target.reset();
    m_keysHeld = false;
    return BuildPositionReport(report());
}

Bytes UnitModel::writeRotator1(const std::uint8_t* payload)
{
    const double before = reading(0);
    m_config.sensitivity1 = payload[0];
    m_config.inertia1 = payload[1];
    m_config.inertiaTime1 = payload[2];
    m_config.limitSwitch1 = U16(payload + 3);
    m_config.lcdText1 = TextAt(payload + 5);
    Normalize(m_config);
    // The sensor still reads the same azimuth; only the stop moved. A reconfigured rotator halts.
    setReading(0, before);
    m_rotators[0].target.reset();
    configChanged();
    return BuildAck(static_cast<std::uint8_t>(CommandCode::CmdWriteRotator1));
}

Bytes UnitModel::writeRotator2(const std::uint8_t* payload)
{
    double before = reading(1);
    const bool wasElevation = isElevation(1);
    m_config.sensitivity2 = payload[0];
    m_config.inertia2 = payload[1];
    m_config.inertiaTime2 = payload[2];
    m_config.maxElevation2 = payload[3];
    m_config.limitSwitch2 = U16(payload + 4);
    m_config.mode2 = payload[6];
    m_config.lcdText2 = TextAt(payload + 7);
    Normalize(m_config);
    // Keep the direction the sensor reads across a mode change: azimuths above 180 become the
    // negative elevations they stand for, negative elevations the azimuths below 360.
    if (!wasElevation && isElevation(1) && before > 180)
        before -= kTurn;
    setReading(1, before);
    m_rotators[1].target.reset();
    configChanged();
    return BuildAck(static_cast<std::uint8_t>(CommandCode::CmdWriteRotator2));
}

Bytes UnitModel::sensor(const std::uint8_t* payload, std::size_t payloadSize)
{
    constexpr auto kCode = static_cast<std::uint8_t>(CommandCode::CmdSensor);
    constexpr std::uint8_t kRefused = 0;  // a result the program shows nothing for
    const std::uint8_t rotator = payload[0];
    const std::uint8_t operation = payload[1];
    if (rotator != 1 && rotator != 2)
        return BuildAck(kCode, {kRefused});
    const int index = rotator - 1;
    switch (operation) {
    case 1:  // the sensor's zero moves to where the antenna points now
        setReading(index, 0);
        break;
    case 2:  // the sensor counts the other way round: the reading is mirrored
        setReading(index, isElevation(index) ? -reading(index) : Wrap360(-reading(index)));
        break;
    case 3: {
        if (payloadSize < 4)
            return BuildAck(kCode, {kRefused});
        int value = U16(payload + 2);
        if (isElevation(index)) {
            // Negative elevations travel as value + 360.
            if (value >= 315 && value <= 359)
                value -= 360;
            else if (value > 180)
                return BuildAck(kCode, {kRefused});
        } else if (value > 359) {
            return BuildAck(kCode, {kRefused});
        }
        setReading(index, value);
        break;
    }
    default:
        return BuildAck(kCode, {kRefused});
    }
    m_rotators[index].target.reset();
    return BuildAck(kCode, {static_cast<std::uint8_t>(10 + operation)});
}

}  // namespace vantora::sim
