#include "app/ui/link_fault_view.h"

#include "app/ui/program_font.h"
#include "link/ui/link_health_monitor.h"
#include "station/position_display.h"
#include "widgets/ui/analog_gauge.h"

#include <QEvent>
#include <QLabel>

namespace vantora {

namespace {

constexpr int kReasonMargin = 4;
constexpr int kReasonFontPixels = 13;

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

LinkFaultView::LinkFaultView(LinkHealthMonitor& monitor, Parts parts, QObject* parent)
    : QObject(parent), m_monitor(monitor), m_parts(std::move(parts))
{
    for (QLabel* label : m_parts.readouts)
        m_normalColours.push_back(label->palette().color(QPalette::WindowText));
    if (m_parts.reasonHost) {
        m_reason = new QLabel(m_parts.reasonHost);
        m_reason->setObjectName("LinkFaultLabel");
        m_reason->setWordWrap(true);
        m_reason->setFont(ProgramFont(kReasonFontPixels));
        m_reason->setAlignment(Qt::AlignCenter);
        m_reason->setAutoFillBackground(true);
        m_reason->setStyleSheet(QStringLiteral(
            "QLabel { background: #fff4c0; color: #a00000; border: 1px solid #a00000; padding: 2px; }"));
        m_reason->hide();
        m_parts.reasonHost->installEventFilter(this);
    }
    connect(&m_monitor, &LinkHealthMonitor::changed, this, &LinkFaultView::refresh);
    refresh();
}

void LinkFaultView::refresh()
{
    const bool stale = m_monitor.positionStale();
    for (std::size_t i = 0; i < m_parts.readouts.size(); ++i)
        setTextColour(m_parts.readouts[i], stale ? kStaleText : m_normalColours[i]);
    if (stale) {
        const QColor silver(kSilver.r, kSilver.g, kSilver.b);
        const QColor plain(kLightGreen.r, kLightGreen.g, kLightGreen.b);
        for (TA3nalogGauge* dial : m_parts.dials) {
            dial->setFaceColor(silver);
            dial->setCenterColor(plain);
        }
    } else if (m_shownStale && m_parts.showReported) {
        m_parts.showReported();
    }
    m_shownStale = stale;

    if (!m_reason)
        return;
    const std::string text = m_parts.reasonText ? m_parts.reasonText() : std::string();
    // A device path has no blanks: let it break after its slashes and underscores instead.
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200b")).replace(QLatin1Char('_'), QStringLiteral("_\u200b"));
    m_reason->setText(shown);
    m_reason->setVisible(!text.empty());
    placeReason();
}

bool LinkFaultView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parts.reasonHost && event->type() == QEvent::Resize)
        placeReason();
    return QObject::eventFilter(watched, event);
}

void LinkFaultView::placeReason()
{
    if (!m_reason || !m_parts.reasonHost)
        return;
    const int width = m_parts.reasonHost->width() - 2 * kReasonMargin;
    const int height = m_reason->heightForWidth(width);
    m_reason->setGeometry(kReasonMargin, m_parts.reasonHost->height() - height - kReasonMargin, width,
                          height > 0 ? height : m_reason->sizeHint().height());
    m_reason->raise();
}

}  // namespace vantora
