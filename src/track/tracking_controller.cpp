#include "track/tracking_controller.h"

#include "track/sky_tracking.h"

#include <chrono>

namespace vantora {

namespace {

constexpr int kGotoBoth = 3;  // Nastav code: azimuth and elevation together

bool EndsWithSeparator(std::string_view folder)
{
#ifdef _WIN32
    return folder.back() == '\\' || folder.back() == '/';
#else
    return folder.back() == '/';
#endif
}

}  // namespace

double SystemUtcSeconds()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

std::string_view TrackingBodyCaption(TrackingSource source)
{
    if (source == TrackingSource::MoonBuiltIn)
        return "Moon:";
    if (source == TrackingSource::SunBuiltIn)
        return "Sun:";
    return "";
}

std::string_view TrackingSourceText(TrackingSource source)
{
    switch (source) {
    case TrackingSource::MoonSked:
        return "moonsked";
    case TrackingSource::Wsjt:
        return "wsjt";
    case TrackingSource::MoonBuiltIn:
        return "moon";
    case TrackingSource::SunBuiltIn:
        return "sun";
    case TrackingSource::None:
        break;
    }
    return "";
}

std::string JoinTrackingPath(std::string_view folder, std::string_view fileName)
{
    std::string path(folder);
    if (!folder.empty() && !EndsWithSeparator(folder)) {
#ifdef _WIN32
        path += '\\';
#else
        path += '/';
#endif
    }
    path += fileName;
    return path;
}

TrackingController::TrackingController(const Settings& settings, TrackingFiles& files, TargetSink& sink)
    : m_settings(settings), m_files(files), m_sink(sink)
{
}

std::string TrackingController::TrackingPath(TrackingSource source) const
{
    switch (source) {
    case TrackingSource::MoonSked:
        return JoinTrackingPath(m_settings.MoonSked, "AZEL.DAT");
    case TrackingSource::Wsjt:
        return JoinTrackingPath(m_settings.WSJT, "azel.dat");
    case TrackingSource::MoonBuiltIn:
    case TrackingSource::SunBuiltIn:
    case TrackingSource::None:
        break;
    }
    return {};
}

bool TrackingController::TrackTest(TrackingSource source) const
{
    if (source != TrackingSource::MoonSked && source != TrackingSource::Wsjt)
        return false;
    return m_files.Exists(TrackingPath(source));
}

bool TrackingController::TrackTest(std::string_view sourceText) const
{
    if (sourceText == "moonsked")
        return TrackTest(TrackingSource::MoonSked);
    if (sourceText == "wsjt")
        return TrackTest(TrackingSource::Wsjt);
    return false;
}

void TrackingController::MenuOpened()
{
    m_menu.moonSkedEnabled = TrackTest(TrackingSource::MoonSked);
    m_menu.wsjtEnabled = TrackTest(TrackingSource::Wsjt);
}

void TrackingController::Off()
{
    m_menu.offChecked = true;
    m_menu.moonSkedChecked = false;
    m_menu.wsjtChecked = false;
    m_menu.moonBuiltInChecked = false;
    m_menu.sunBuiltInChecked = false;
    m_source = TrackingSource::None;
    m_readout = "OFF";
}

void TrackingController::StartMoonSked()
{
    Start(TrackingSource::MoonSked);
}

void TrackingController::StartWsjt()
{
    Start(TrackingSource::Wsjt);
}

void TrackingController::StartMoonBuiltIn()
{
    Start(TrackingSource::MoonBuiltIn);
}

void TrackingController::StartSunBuiltIn()
{
    Start(TrackingSource::SunBuiltIn);
}

void TrackingController::Start(TrackingSource source)
{
    m_menu.offChecked = false;
    m_menu.moonSkedChecked = source == TrackingSource::MoonSked;
    m_menu.wsjtChecked = source == TrackingSource::Wsjt;
    m_menu.moonBuiltInChecked = source == TrackingSource::MoonBuiltIn;
    m_menu.sunBuiltInChecked = source == TrackingSource::SunBuiltIn;
    m_source = source;
    m_readout = "OFF";  // kept until the first successful read
}

bool TrackingController::SwitchOffIfTracking()
{
    if (m_source == TrackingSource::None)
        return false;
    Off();
    return true;
}

void TrackingController::Tick()
{
    if (m_source == TrackingSource::None)
        return;
    if (m_source == TrackingSource::MoonBuiltIn || m_source == TrackingSource::SunBuiltIn) {
        TickBuiltIn(m_source == TrackingSource::MoonBuiltIn ? SkyBody::Moon : SkyBody::Sun);
        return;
    }
    const std::string path = TrackingPath(m_source);
    if (!m_files.Exists(path)) {
        Off();
        return;
    }
    const auto bytes = m_files.ReadPrefix(path, kTrackingReadMax);
    if (!bytes)
        return;  // held exclusively or unreadable right now: try again at the next tick
    CtiTrak(FirstTrackingLine(*bytes));
}

void TrackingController::TickBuiltIn(SkyBody body)
{
    // The home locator is read at every tick, so a changed preference applies at the next one.
    const SkyDirection direction = BodyDirection(body, m_clock(), HomeSquareCentre(m_settings.Lokator));
    const auto reading = ReadSkyDirection(direction);
    if (!reading)
        return;  // no usable position this tick: keep the last read-out
    m_readout = reading->readout;
    if (reading->goTo)
        m_sink.Nastav(kGotoBoth, reading->azimuth, reading->elevation);
}

bool TrackingController::CtiTrak(std::string_view line)
{
    const auto reading = ParseTrackingLine(line);
    if (!reading)
        return false;
    m_readout = reading->readout;
    if (reading->goTo)
        m_sink.Nastav(kGotoBoth, reading->azimuth, reading->elevation);
    return true;
}

}  // namespace vantora
