#include "link/link_controller.h"

#include <variant>

namespace vantora {

namespace {

// Counts the ticks of an acknowledged setpoint; returns true when it timed out just now.
bool AgeSetpoint(SetpointLabel& label)
{
    if (!label.acknowledged)
        return false;
    ++label.counter;
    if (label.counter <= kSetpointAckTicks)
        return false;
    label.counter = 0;
    label.acknowledged = false;
    label.value = "0°";
    return true;
}

// An acknowledgement while already red keeps the running count.
bool Acknowledge(SetpointLabel& label)
{
    if (label.acknowledged)
        return false;
    label.acknowledged = true;
    return true;
}

}  // namespace

std::optional<std::string> HwInfoText(std::uint16_t firmwareVersion)
{
    if (firmwareVersion == 0)
        return std::nullopt;
    const int major = firmwareVersion >> 8;
    const int minor = firmwareVersion & 0xFF;
    return "Firmware version: v" + std::to_string(major) + (minor < 10 ? ".0" : ".")
        + std::to_string(minor);
}

LinkController::LinkController(LinkInputs& inputs, FrameSink& sink, LinkEvents& events)
    : m_inputs(inputs), m_sink(sink), m_events(events)
{
}

void LinkController::Timer1Timer()
{
    const bool expired1 = AgeSetpoint(setpoints.rotator1);
    const bool expired2 = AgeSetpoint(setpoints.rotator2);
    if (expired1 || expired2)
        m_events.SetpointsChanged();

    if (state.firmwareTooOld)
        return;

    ArrowKeys keys = m_inputs.HeldArrowKeys();
    if (m_inputs.TargetBoxHoldsText())
        keys = {};
    const ArrowKeys remote = m_inputs.RemoteArrowKeys();
    keys.right = keys.right || remote.right;
    keys.left = keys.left || remote.left;
    keys.up = keys.up || remote.up;
    keys.down = keys.down || remote.down;

    // Each later step overwrites the frame of the earlier one: one frame leaves per tick.
    BuildManual(commandBuffer, keys);
    if (gotoRequest.which != 0) {
        BuildGoto(commandBuffer, gotoRequest);
        gotoRequest.which = 0;
    }
    if (state.firmwareVersion == 0) {
        BuildReadVersion(commandBuffer);
        selectRequest.pending = false;
    }
    if (selectRequest.pending) {
        selectRequest.pending = false;
        BuildSelectRotator(commandBuffer, selectRequest.value);
    }
    if (Odeslat(commandBuffer, m_sink) > 0)
        ++counters.framesSent;
}

void LinkController::CommPortDriver1ReceiveData(const std::uint8_t* data, int size)
{
    const std::optional<DecodedResponse> response = DecodeDelivery(data, size, replyBuffer);
    if (!response)
        return;
    ++counters.validResponses;
    if (std::holds_alternative<PositionReport>(*response))
        ++counters.positionReports;
    std::visit([this](const auto& report) { Apply(report); }, *response);
}

void LinkController::VerzeHW1Click()
{
    if (const auto text = HwInfoText(state.firmwareVersion))
        m_events.ShowMessage(*text);
}

void LinkController::Apply(const PositionReport& report)
{
    state.position1 = report.position1;
    state.status1 = report.status1;
    state.position2 = report.position2;
    state.status2 = report.status2;
    state.rotator2Mode = report.rotator2Mode;
    state.activeRotator = report.activeRotator;
    m_events.ShowAzimut();
    m_events.ShowElevace();
}

void LinkController::Apply(const SettingsReport& report)
{
    state.settings = report.settings;
    m_events.SettingsReportArrived();
}

void LinkController::Apply(const VersionReport& report)
{
    state.firmwareVersion = report.firmwareVersion;
    if (report.firmwareVersion <= kLastUnsupportedFirmware) {
        // The message comes first: the flag stops the poll only once the operator has seen why.
        m_events.ShowMessage(kFirmwareTooOldMessage);
        state.firmwareTooOld = true;
    } else {
        m_events.EnableUnitMenus();
    }
}

void LinkController::Apply(const AckReport& report)
{
    switch (report.subCode) {
    case 11: {
        bool changed = false;
        if (report.data[0] == 1 && report.data[1] == 0)
            changed = Acknowledge(setpoints.rotator1) || changed;
        // Rotator 2 that stands at 0 with no target given is taken as absent.
        if (report.data[2] == 1 && report.data[3] == 0
            && (Rotator2PositionText() != "0°" || setpoints.rotator2.value != "0°"))
            changed = Acknowledge(setpoints.rotator2) || changed;
        if (changed)
            m_events.SetpointsChanged();
        break;
    }
    case 16:
        m_events.UnitDialogStatus("ID sucessfully changed");
        break;
    case 17:
    case 18:
        m_events.UnitDialogStatus("Sucessfully writed");
        break;
    case 20:
        m_events.UnitDialogStatus("Display changed");
        break;
    case 19:
        if (report.data[0] == 11 || report.data[0] == 13)
            m_events.SensorDialogStatus("Sucessfully writed");
        else if (report.data[0] == 12)
            m_events.SensorDialogStatus("Sucessfully changed");
        break;
    default:
        break;
    }
}

}  // namespace vantora
