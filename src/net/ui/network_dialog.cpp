#include "net/ui/network_dialog.h"

#include "net/listen_clash.h"
#include "settings/ui/dialog_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vantora {

namespace {

constexpr int kSectionMinimumWidth = 440;  // pixels: room for a status line with its reason
constexpr int kMaxSectionsHeight = 640;   // pixels: with the buttons, fits a 768-pixel screen

}  // namespace

NetworkDialog::NetworkDialog(TranslateFn translate, std::function<void()> enableMainWindow, QWidget* parent)
    : QWidget(parent), m_translate(std::move(translate)), m_enableMainWindow(std::move(enableMainWindow))
{
    setObjectName(QStringLiteral("NetworkWindow"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setWindowTitle(tr8("Network"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr8("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    connect(ok, &QPushButton::clicked, this, &NetworkDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &NetworkDialog::Button2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    // The sections scroll when there are more than a screen holds; OK and Cancel stay in view.
    auto* sections = new QWidget;
    m_sectionLayout = new QVBoxLayout(sections);
    m_sectionLayout->addStretch(1);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(sections);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(buttons);

    m_statusTimer.setInterval(kStatusRefreshMs);
    connect(&m_statusTimer, &QTimer::timeout, this, &NetworkDialog::refreshStatus);
}

QString NetworkDialog::tr8(const char* english) const
{
    return QString::fromStdString(m_translate ? m_translate(english) : std::string(english));
}

void NetworkDialog::addSection(NetworkSection* section)
{
    section->setParent(this);
    section->setMinimumWidth(kSectionMinimumWidth);
    m_sections.push_back(section);
    m_sectionLayout->insertWidget(m_sectionLayout->count() - 1, section);  // above the stretch
    // Wide enough for every section; as tall as they are, up to kMaxSectionsHeight.
    const QSize wanted = m_scroll->widget()->sizeHint();
    m_scroll->setMinimumWidth(wanted.width() + m_scroll->verticalScrollBar()->sizeHint().width());
    m_scroll->setMinimumHeight(std::min(wanted.height(), kMaxSectionsHeight));
}

void NetworkDialog::Button1Click()
{
    if (refuseClashes())
        return;
    for (NetworkSection* section : m_sections)
        section->apply();
    // Only now: a section applied early may have been waiting for a port a later one let go of.
    for (NetworkSection* section : m_sections)
        section->listenAgain();
    refreshStatus();
    hideToMainWindow();
    emit applied();
}

bool NetworkDialog::refuseClashes()
{
    struct Owned {
        NetworkSection* section;
        ListenClaim claim;
    };
    std::vector<Owned> owned;
    std::vector<PortClaim> claims;
    for (NetworkSection* section : m_sections) {
        section->clearFieldProblems();
        for (const ListenClaim& claim : section->claims()) {
            owned.push_back({section, claim});
            claims.push_back({claim.protocol.toStdString(), claim.port});
        }
    }
    const auto clashes = FindPortClashes(claims);
    bool refused = false;
    for (std::size_t i = 0; i < owned.size(); ++i) {
        if (!clashes[i])
            continue;
        refused = true;
        const Owned& other = owned[*clashes[i]];
        owned[i].section->showFieldProblem(owned[i].claim.field, tr8("%1 port %2 is also used by %3")
                                                                     .arg(owned[i].claim.protocol)
                                                                     .arg(owned[i].claim.port)
                                                                     .arg(other.section->title().trimmed()));
    }
    return refused;
}

QStringList NetworkDialog::listenProblems() const
{
    QStringList problems;
    for (const NetworkSection* section : m_sections) {
        const QString problem = section->listenProblem();
        if (!problem.isEmpty())
            problems << section->title().trimmed() + QStringLiteral(": ") + problem;
    }
    return problems;
}

void NetworkDialog::Button2Click()
{
    hideToMainWindow();
}

void NetworkDialog::hideToMainWindow()
{
    if (m_enableMainWindow)
        m_enableMainWindow();
    hide();
}

void NetworkDialog::refreshStatus()
{
    for (NetworkSection* section : m_sections)
        section->refreshStatus();
}

void NetworkDialog::showEvent(QShowEvent* event)
{
    // Fresh from the values in force each time, so what Cancel left behind is gone.
    for (NetworkSection* section : m_sections)
        section->load();
    refreshStatus();
    m_statusTimer.start();
    QWidget::showEvent(event);
    if (!m_centered) {
        m_centered = true;
        CenterOnScreen(this);
    }
}

void NetworkDialog::hideEvent(QHideEvent* event)
{
    m_statusTimer.stop();
    QWidget::hideEvent(event);
}

void NetworkDialog::closeEvent(QCloseEvent* event)
{
    if (m_enableMainWindow)
        m_enableMainWindow();
    event->accept();
}

}  // namespace vantora
