#pragma once
// Both UDP inputs with their stored values: read from the settings store at start, changed and
// stored by the Network window.

#include "net/udp_input_settings.h"
#include "net/ui/n1mm_input.h"
#include "net/ui/pst_input.h"

#include <QObject>

namespace vantora {

class UdpInputs : public QObject {
    Q_OBJECT
public:
    // Reads the stored values from `store` (which outlives this) and starts what they enable.
    UdpInputs(KeyValueStore& store, RemoteStation& station, QObject* parent = nullptr);
    // The same, each input reaching the station through its own door.
    UdpInputs(KeyValueStore& store, RemoteStation& n1mmStation, RemoteStation& pstStation, QObject* parent = nullptr);

    const UdpInputSettings& settings() const { return m_settings; }
    // Applies new values at once and stores them; false when they could not be stored.
    bool change(const UdpInputSettings& settings);
    // Reads the stored values again and applies those that changed, storing nothing.
    void reload();
    // Both inputs stop listening (the program is stopping); the stored values stay.
    void close();

    N1mmInput& n1mm() { return m_n1mm; }
    PstInput& pst() { return m_pst; }

private:
    void apply(const UdpInputSettings& settings);

    KeyValueStore& m_store;
    UdpInputSettings m_settings;
    N1mmInput m_n1mm;
    PstInput m_pst;
};

}  // namespace vantora
