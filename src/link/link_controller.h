#pragma once
// The control-unit link as the main window runs it: the 50 ms poll tick that sends exactly one
// frame, and the handling of every delivery the serial layer hands over. Display-free: what
// it needs from the screen and what it shows go through the small interfaces below.

#include "common/angle_text.h"
#include "link/commands.h"
#include "link/response_decoder.h"
#include "link/rotator_state.h"
#include "link/setpoints.h"
#include "link/unit_frame.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantora {

// What the poll tick reads from the keyboard and the main window.
class LinkInputs {
public:
    virtual ~LinkInputs() = default;
    virtual ArrowKeys HeldArrowKeys() const = 0;
    // True while the target box (Edit1) holds any text; the keyboard's manual drive is then off.
    virtual bool TargetBoxHoldsText() const = 0;
    // The keys a remote client holds down (rotctld's "M"). They are added to the keyboard's, and
    // the target box does not stop them: that rule is about typing, not about outside drives.
    virtual ArrowKeys RemoteArrowKeys() const { return {}; }
};

// What the link shows. Every hook has an empty default so a window implements only its part.
class LinkEvents {
public:
    virtual ~LinkEvents() = default;
    // Called in this order after every position report, with RotatorState already updated.
    virtual void ShowAzimut() {}
    virtual void ShowElevace() {}
    // A settings report was stored in RotatorState::settings; the control-unit dialog (when
    // visible) shows and enables, then the sensors dialog (when visible) enables.
    virtual void SettingsReportArrived() {}
    // A plain message box with OK; the text is shown untranslated.
    virtual void ShowMessage(const std::string& text) { (void)text; }
    // The firmware is recent enough: enable "Control unit" and "Magnetic sensors".
    virtual void EnableUnitMenus() {}
    // Status line of the control-unit settings dialog; English text, the dialog translates.
    virtual void UnitDialogStatus(const std::string& englishText) { (void)englishText; }
    // Status line of the sensors calibration dialog; English text, the dialog translates.
    virtual void SensorDialogStatus(const std::string& englishText) { (void)englishText; }
    // A setpoint's text or colour changed (acknowledged, or timed out back to "0°").
    virtual void SetpointsChanged() {}
};

// Oldest firmware the program cannot work with (1.06); 1.07 and later are accepted.
inline constexpr std::uint16_t kLastUnsupportedFirmware = 262;
inline constexpr char kFirmwareTooOldMessage[] = "Please update HW firmware";
// Poll ticks an acknowledged setpoint stays red; the next tick returns it to blue "0°".
inline constexpr int kSetpointAckTicks = 20;

// "Firmware version: v1.07" for 263, "v1.10" for 266; nothing while the version is unknown (0).
std::optional<std::string> HwInfoText(std::uint16_t firmwareVersion);

class LinkController {
public:
    LinkController(LinkInputs& inputs, FrameSink& sink, LinkEvents& events);

    // The 50 ms poll tick: setpoint time-outs, then one frame (21 over 99 over 11 over 12).
    void Timer1Timer();
    // One delivery of the serial layer, taken as one response frame. The caller brackets it
    // with PausePolling/ContinuePolling of the serial layer.
    void CommPortDriver1ReceiveData(const std::uint8_t* data, int size);
    // "HW info": shows the firmware version once it is known.
    void VerzeHW1Click();

    // Rotator 2's position as its read-out (Label8) shows it.
    std::string Rotator2PositionText() const { return AngleText(state.position2); }

    // Running counts for watching the link's health from outside.
    struct Counters {
        std::uint64_t framesSent = 0;       // poll-tick frames the serial layer took
        std::uint64_t validResponses = 0;   // deliveries that were a valid response frame
        std::uint64_t positionReports = 0;  // of which position reports
    };

    RotatorState state;
    Counters counters;
    GotoRequest gotoRequest;
    SelectRequest selectRequest;
    Setpoints setpoints;
    CommandBuffer commandBuffer{};
    ReplyBuffer replyBuffer{};

private:
    void Apply(const PositionReport& report);
    void Apply(const SettingsReport& report);
    void Apply(const VersionReport& report);
    void Apply(const AckReport& report);

    LinkInputs& m_inputs;
    FrameSink& m_sink;
    LinkEvents& m_events;
};

}  // namespace vantora
