#pragma once
// The two UDP inputs' sections of the Network window: N1MM Logger+ rotor datagrams (enabled,
// port, rotor name, status port, accept from) and PstRotator-style commands (enabled, port,
// accept from), each with a status line saying where it listens or why it cannot.

#include "net/ui/network_section.h"
#include "net/ui/udp_inputs.h"
#include "track/ui/listen_status.h"

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace vantora {

// Controls both sections share: the check box, the port, "Accept from" and the status line.
class UdpInputSection : public NetworkSection {
    Q_OBJECT
public:
    UdpInputSection(UdpInputs& inputs, StatusTranslateFn translate, const QString& prefix, QWidget* parent);

    std::vector<ListenClaim> claims() const override;
    void listenAgain() override;
    QString listenProblem() const override;

protected:
    QString tr8(const char* english) const;
    QSpinBox* newPort(const QString& objectName);
    void addAcceptFromAndStatus();
    virtual bool storedEnabled() const = 0;
    virtual const UdpInputSocket& socket() const = 0;

    UdpInputs& m_inputs;
    StatusTranslateFn m_translate;
    QFormLayout* m_form = nullptr;
    QCheckBox* m_enabled = nullptr;
    QSpinBox* m_port = nullptr;
    QLineEdit* m_acceptFrom = nullptr;
    QLabel* m_status = nullptr;

private:
    QString m_prefix;  // of the controls' object names: "N1mm", "Pst"
};

class N1mmSection : public UdpInputSection {
    Q_OBJECT
public:
    N1mmSection(UdpInputs& inputs, StatusTranslateFn translate, QWidget* parent = nullptr);

    void load() override;
    void apply() override;
    void refreshStatus() override;
    N1mmInputSettings values() const;  // what the controls hold now

protected:
    bool storedEnabled() const override { return m_inputs.settings().n1mm.enabled; }
    const UdpInputSocket& socket() const override { return m_inputs.n1mm().socket(); }

private:
    QLineEdit* m_rotor = nullptr;
    QSpinBox* m_statusPort = nullptr;
    QCheckBox* m_shareAddress = nullptr;
};

class PstSection : public UdpInputSection {
    Q_OBJECT
public:
    PstSection(UdpInputs& inputs, StatusTranslateFn translate, QWidget* parent = nullptr);

    void load() override;
    void apply() override;
    void refreshStatus() override;
    PstInputSettings values() const;

protected:
    bool storedEnabled() const override { return m_inputs.settings().pst.enabled; }
    const UdpInputSocket& socket() const override { return m_inputs.pst().socket(); }
};

}  // namespace vantora
