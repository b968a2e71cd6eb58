#pragma once
// Moon tracking: which planning program's file is followed, the Tracking menu's state, the
// read-out beside "Tracking:" and what every 1.5 s tick does with the file; or, for the
// built-in sources, with the Moon's or the Sun's computed position.

#include "settings/settings.h"
#include "sky/sky_position.h"
#include "track/target_sink.h"
#include "track/tracking_files.h"
#include "track/tracking_line.h"

#include <functional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr int kTrackingIntervalMs = 1500;

// MoonBuiltIn and SunBuiltIn compute the body's position here instead of reading a file.
enum class TrackingSource { None, MoonSked, Wsjt, MoonBuiltIn, SunBuiltIn };

// The UTC time now, in seconds since 1970-01-01 00:00 UTC.
using UtcClock = std::function<double()>;
double SystemUtcSeconds();

// "moonsked", "wsjt", "moon", "sun", or "" for none.
std::string_view TrackingSourceText(TrackingSource source);

// The tracking read-out's caption while a built-in body is followed ("Moon:", "Sun:"; English,
// to be translated), empty for the other sources: the read-out has no room for the body's name
// beside the direction, so the caption names it in place of "Tracking:".
std::string_view TrackingBodyCaption(TrackingSource source);

// The folder followed directly by the file name; a folder without a trailing separator gets
// one (an empty folder stays empty, so the name is used as it is).
std::string JoinTrackingPath(std::string_view folder, std::string_view fileName);

// Radio items "OFF", "MoonSked", "WSJT", "Moon (built-in)", "Sun (built-in)" of the Tracking
// menu. The built-in items are always enabled.
struct TrackingMenuState {
    bool offChecked = true;
    bool moonSkedChecked = false;
    bool wsjtChecked = false;
    bool moonBuiltInChecked = false;
    bool sunBuiltInChecked = false;
    bool moonSkedEnabled = false;
    bool wsjtEnabled = false;

    bool operator==(const TrackingMenuState&) const = default;
};

class TrackingController {
public:
    // settings: folders MoonSked and WSJT are read at each use, so changed preferences apply at
    // the next tick. Both references must outlive the controller.
    TrackingController(const Settings& settings, TrackingFiles& files, TargetSink& sink);

    // The tracking file of a source: MoonSked folder + "AZEL.DAT", WSJT folder + "azel.dat".
    std::string TrackingPath(TrackingSource source) const;
    // True when the tracking file of that source exists; false for None.
    bool TrackTest(TrackingSource source) const;
    bool TrackTest(std::string_view sourceText) const;

    void MenuOpened();       // racking1Click: enable each source whose file exists now
    void Off();              // OFF1Click
    void StartMoonSked();    // MoonSked1Click
    void StartWsjt();        // WSJT1Click
    void StartMoonBuiltIn(); // "Moon (built-in)"
    void StartSunBuiltIn();  // "Sun (built-in)"
    // Timer2Timer: read the file (or compute the body's position), show it, send it.
    void Tick();
    // Where the built-in sources take the time from; the system clock unless replaced.
    void SetClock(UtcClock clock) { m_clock = clock ? std::move(clock) : UtcClock(SystemUtcSeconds); }
    // OK and STOP in the target box: performs "OFF" when a source is set. True when it did.
    bool SwitchOffIfTracking();
    // Reads one line (CtiTrak): shows the values and sends the Moon's position when it is at or
    // above the horizon. True when both numbers were read.
    bool CtiTrak(std::string_view line);

    TrackingSource Source() const { return m_source; }
    bool TimerRunning() const { return m_source != TrackingSource::None; }
    const std::string& Readout() const { return m_readout; }
    const TrackingMenuState& Menu() const { return m_menu; }

private:
    void Start(TrackingSource source);
    void TickBuiltIn(SkyBody body);

    const Settings& m_settings;
    TrackingFiles& m_files;
    TargetSink& m_sink;
    TrackingSource m_source = TrackingSource::None;
    std::string m_readout = "OFF";
    TrackingMenuState m_menu;
    UtcClock m_clock = SystemUtcSeconds;
};

}  // namespace vantora
