#pragma once
// The station with no window: the station, polling without pause, and all its listeners, with
// every event the desktop would show written to standard error as one line. Re-reads its
// settings on request (listeners whose settings changed listen again, a changed port device is
// opened again, nothing else restarts) and stops cleanly.

#include "settings/key_value_store.h"
#include "station/event_lines.h"
#include "station/headless_options.h"

#include <QObject>

#include <cstdio>
#include <memory>
#include <string>

namespace vantora {

class Station;
class StationServices;

class HeadlessStation : public QObject {
    Q_OBJECT
public:
    // Builds and starts everything: the stored port (or options.portDevice) is opened, the
    // listeners listen, the poll runs. `store` outlives this; lines go to `lines`.
    HeadlessStation(KeyValueStore& store, const HeadlessOptions& options, std::FILE* lines = stderr,
                    QObject* parent = nullptr);
    ~HeadlessStation() override;

    Station& station() { return *m_station; }
    StationServices& services() { return *m_services; }

    // The settings file was changed: read it again and apply it.
    void reload();
    // Listeners closed, the poll stopped, the port closed, the settings store closed (written
    // if anything changed). Safe to call twice.
    void stop();

private:
    void line(const std::string& text);
    void reportListeners();
    void reportLink();

    KeyValueStore& m_store;
    std::FILE* m_lines;
    EventLineSink m_sink;
    std::string m_portDevice;  // options.portDevice, or empty
    std::unique_ptr<Station> m_station;
    std::unique_ptr<StationServices> m_services;
    bool m_portLost = false;
    bool m_shownFresh = false;
    bool m_everFresh = false;
    std::string m_shownReason;
    bool m_stopped = false;
};

}  // namespace vantora
