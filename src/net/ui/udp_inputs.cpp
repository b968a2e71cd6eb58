#include "net/ui/udp_inputs.h"

namespace vantora {

UdpInputs::UdpInputs(KeyValueStore& store, RemoteStation& station, QObject* parent)
    : UdpInputs(store, station, station, parent)
{
}

UdpInputs::UdpInputs(KeyValueStore& store, RemoteStation& n1mmStation, RemoteStation& pstStation, QObject* parent)
    : QObject(parent),
      m_store(store),
      m_settings(LoadUdpInputSettings(store)),
      m_n1mm(n1mmStation, this),
      m_pst(pstStation, this)
{
    m_n1mm.apply(m_settings.n1mm);
    m_pst.apply(m_settings.pst);
}

bool UdpInputs::change(const UdpInputSettings& settings)
{
    apply(settings);
    return SaveUdpInputSettings(m_store, settings);
}

void UdpInputs::reload()
{
    apply(LoadUdpInputSettings(m_store));
}

void UdpInputs::close()
{
    UdpInputSettings off = m_settings;
    off.n1mm.enabled = false;
    off.pst.enabled = false;
    m_n1mm.apply(off.n1mm);
    m_pst.apply(off.pst);
}

void UdpInputs::apply(const UdpInputSettings& settings)
{
    // A section whose values did not change keeps its socket (and the N1MM status target); one
    // that should listen but could not tries again, as the operator pressing OK expects.
    if (!(settings.n1mm == m_settings.n1mm) || (settings.n1mm.enabled && !m_n1mm.socket().isListening()))
        m_n1mm.apply(settings.n1mm);
    if (!(settings.pst == m_settings.pst) || (settings.pst.enabled && !m_pst.socket().isListening()))
        m_pst.apply(settings.pst);
    m_settings = settings;
}

}  // namespace vantora
