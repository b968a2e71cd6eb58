#pragma once
// Shows the link's health on the main window: while the position cannot be trusted the
// position read-outs and the beam line on the map turn grey, the dials take their "not yet
// reported" look, and a short text on the azimuth dial says why. It all returns to normal with
// the next valid report.

#include <QObject>
#include <QColor>

#include <functional>
#include <string>
#include <vector>

class QLabel;

namespace vantora {

class LinkHealthMonitor;
class TA3nalogGauge;

class LinkFaultView : public QObject {
    Q_OBJECT
public:
    struct Parts {
        std::vector<QLabel*> readouts;       // greyed while stale
        std::vector<TA3nalogGauge*> dials;   // silver face, plain centre while stale
        TA3nalogGauge* reasonHost = nullptr; // the reason text sits on this dial, in every layout
        std::function<void()> showReported;  // puts the dials back to what the unit reported
        std::function<std::string()> reasonText;  // the text for the monitor's fault, translated
        TA3nalogGauge* beam = nullptr;            // the map: its beam line turns grey while stale
    };

    static inline const QColor kStaleText{128, 128, 128};

    LinkFaultView(LinkHealthMonitor& monitor, Parts parts, QObject* parent = nullptr);

    // Applies the monitor's present verdict.
    void refresh();
    QLabel* reasonLabel() const { return m_reason; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeReason();

    LinkHealthMonitor& m_monitor;
    Parts m_parts;
    std::vector<QColor> m_normalColours;
    QColor m_normalBeam;
    QLabel* m_reason = nullptr;
    bool m_shownStale = false;
};

}  // namespace vantora
