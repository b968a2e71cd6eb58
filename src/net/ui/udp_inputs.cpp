#include "net/ui/udp_inputs.h"

namespace vantora {

UdpInputs::UdpInputs(KeyValueStore& store, RemoteStation& station, QObject* parent)
    : QObject(parent), m_store(store), m_settings(LoadUdpInputSettings(store)), m_n1mm(station, this),
      m_pst(station, this)
{
    m_n1mm.apply(m_settings.n1mm);
    m_pst.apply(m_settings.pst);
}

bool UdpInputs::change(const UdpInputSettings& settings)
{
    // A section whose values did not change keeps its socket (and the N1MM status target); one
    // that should listen but could not tries again, as the operator pressing OK expects.
    if (!(settings.n1mm == m_settings.n1mm) || (settings.n1mm.enabled && !m_n1mm.socket().isListening()))
        m_n1mm.apply(settings.n1mm);
    if (!(settings.pst == m_settings.pst) || (settings.pst.enabled && !m_pst.socket().isListening()))
        m_pst.apply(settings.pst);
    m_settings = settings;
    return SaveUdpInputSettings(m_store, settings);
}

void UdpInputs::listenAgain()
{
    if (m_settings.n1mm.enabled && !m_n1mm.socket().isListening())
        m_n1mm.apply(m_settings.n1mm);
    if (m_settings.pst.enabled && !m_pst.socket().isListening())
        m_pst.apply(m_settings.pst);
}

}  // namespace vantora
