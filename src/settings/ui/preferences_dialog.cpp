#include "settings/ui/preferences_dialog.h"

#include "common/ui/form_helpers.h"
#include "settings/preferences_logic.h"
#include "settings/ui/character_filter.h"
#include "settings/ui/dialog_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantora {

namespace {

constexpr int kClientWidth = 496;
constexpr int kClientHeight = 269;

// An edit box taking at most `maxLength` characters; 0 means no limit.
QLineEdit* BoundedEdit(QWidget* parent, const QString& name, int maxLength)
{
    QLineEdit* edit = MakeEdit(parent, name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

void MakeGrey(QLineEdit* edit)
{
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

}  // namespace

PreferencesDialog::PreferencesDialog(Settings& settings, TranslateFn translate, DialogHooks hooks,
                                     QWidget* parent)
    : QWidget(parent), m_settings(settings), m_translate(std::move(translate)),
      m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("TForm2"));
    MakeFixedDialog(this, kClientWidth, kClientHeight);
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    setFont(dialogFont);
    setWindowTitle(tr8("Preferences"));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->addTab(buildBasicTab(), tr8("Basic"));
    m_tabs->addTab(buildPresetsTab(), tr8("Presets"));
    m_tabs->addTab(buildTrackingTab(), tr8("Tracking"));
    m_tabs->setCurrentIndex(0);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    auto* cancel = new QPushButton(tr8("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    QFont bold = cancel->font();
    bold.setBold(true);
    cancel->setFont(bold);
    connect(ok, &QPushButton::clicked, this, &PreferencesDialog::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &PreferencesDialog::Button2Click);

    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(22);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    fillFromSettings();
}

QString PreferencesDialog::tr8(const char* english) const
{
    return TranslatedText(m_translate, english);
}

QWidget* PreferencesDialog::buildBasicTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));

    auto* nameBox = new QGroupBox(tr8(" Name ( callsign ) "), page);
    nameBox->setObjectName(QStringLiteral("GroupBox1"));
    m_callsign = BoundedEdit(nameBox, NumberedName("Edit", 1), 12);
    (new QHBoxLayout(nameBox))->addWidget(m_callsign);

    auto* locatorBox = new QGroupBox(tr8(" Home locator "), page);
    locatorBox->setObjectName(QStringLiteral("GroupBox2"));
    m_locator = BoundedEdit(locatorBox, NumberedName("Edit", 2), 6);
    (new QHBoxLayout(locatorBox))->addWidget(m_locator);

    auto* languageBox = new QGroupBox(QStringLiteral(" Language "), page);
    languageBox->setObjectName(QStringLiteral("GroupBox3"));
    m_language = new QComboBox(languageBox);
    m_language->setObjectName(QStringLiteral("ComboBox1"));
    m_language->setEditable(true);
    m_language->setInsertPolicy(QComboBox::NoInsert);
    m_language->addItems({QStringLiteral("English"), QStringLiteral("Czech")});
    (new QHBoxLayout(languageBox))->addWidget(m_language);

    auto* layout = new QVBoxLayout(page);
    for (QGroupBox* box : {nameBox, locatorBox, languageBox}) {
        box->setFixedWidth(200);
        layout->addWidget(box);
    }
    layout->addStretch(1);
    return page;
}

QWidget* PreferencesDialog::buildPresetsTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 3, 6, 3);
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(6);

    const char* headers[] = {"Num", "Name", "Azimuth", "Elevation"};
    for (int column = 0; column < 4; ++column) {
        auto* label = new QLabel(tr8(headers[column]), page);
        label->setObjectName(QStringLiteral("Label%1").arg(column + 1));
        grid->addWidget(label, 0, column);
    }

    for (int row = 0; row < kPresetCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        auto* number = new QLabel(QString::number(row), page);
        number->setObjectName(QStringLiteral("Label%1").arg(row + 5));
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, row + 1, 0);

        m_names[index] = BoundedEdit(page, NumberedName("Edit", 3 + row), row == 0 ? 0 : 16);
        m_azimuths[index] = BoundedEdit(page, NumberedName("Edit", 14 + row), 3);
        m_elevations[index] = BoundedEdit(page, NumberedName("Edit", 23 + row), 3);
        new CharacterFilter(m_azimuths[index], [](const QString& current, char32_t typed) {
            return AcceptPresetKey(current.toStdString(), typed, kMaxPresetAzimuth);
        });
        new CharacterFilter(m_elevations[index], [](const QString& current, char32_t typed) {
            return AcceptPresetKey(current.toStdString(), typed, kMaxPresetElevation);
        });
        m_azimuths[index]->setFixedWidth(60);
        m_elevations[index]->setFixedWidth(60);
        grid->addWidget(m_names[index], row + 1, 1);
        grid->addWidget(m_azimuths[index], row + 1, 2);
        grid->addWidget(m_elevations[index], row + 1, 3);
    }
    m_names[0]->setReadOnly(true);
    m_names[0]->setText(QStringLiteral("Parking"));
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(kPresetCount + 1, 1);
    return page;
}

QWidget* PreferencesDialog::buildTrackingTab()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* layout = new QVBoxLayout(page);

    struct Row {
        const char* caption;
        const char* groupName;
        int editNumber;
        const char* buttonName;
        QLineEdit** edit;
        void (PreferencesDialog::*handler)();
    };
    const Row rows[] = {
        {" MoonSked path ", "GroupBox4", 12, "SpeedButton1", &m_moonSked,
         &PreferencesDialog::SpeedButton1Click},
        {" WSJT path ", "GroupBox5", 13, "SpeedButton2", &m_wsjt,
         &PreferencesDialog::SpeedButton2Click},
    };
    for (const Row& row : rows) {
        auto* box = new QGroupBox(tr8(row.caption), page);
        box->setObjectName(QString::fromLatin1(row.groupName));
        QLineEdit* edit = BoundedEdit(box, NumberedName("Edit", row.editNumber), 0);
        MakeGrey(edit);
        *row.edit = edit;
        auto* button = new QToolButton(box);
        button->setObjectName(QString::fromLatin1(row.buttonName));
        button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        connect(button, &QToolButton::clicked, this, row.handler);
        auto* line = new QHBoxLayout(box);
        line->addWidget(edit, 1);
        line->addWidget(button);
        layout->addWidget(box);
    }
    layout->addStretch(1);
    return page;
}

void PreferencesDialog::fillFromSettings()
{
    m_callsign->setText(QString::fromStdString(m_settings.Znacka));
    m_locator->setText(QString::fromStdString(m_settings.Lokator));
    m_moonSked->setText(QString::fromStdString(m_settings.MoonSked));
    m_wsjt->setText(QString::fromStdString(m_settings.WSJT));
    const int language = m_settings.Language;
    m_language->setCurrentIndex(language >= 0 && language < m_language->count() ? language : -1);
    for (int row = 0; row < kPresetCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        if (row > 0)
            m_names[index]->setText(QString::fromStdString(PresetNameShown(m_settings, row)));
        m_azimuths[index]->setText(QString::number(m_settings.PresetAzimuth[index]));
        m_elevations[index]->setText(QString::number(m_settings.PresetElevation[index]));
    }
    m_filled = readForm();
}

void PreferencesDialog::setFolderPicker(FolderPicker* picker)
{
    m_picker = picker ? picker : &m_systemPicker;
}

void PreferencesDialog::SpeedButton1Click()
{
    pickFolder(m_moonSked);
}

void PreferencesDialog::SpeedButton2Click()
{
    pickFolder(m_wsjt);
}

void PreferencesDialog::pickFolder(QLineEdit* box)
{
    const QString chosen =
        m_picker->pickFolder(this, QStringLiteral("Select a directory"), box->text());
    if (chosen.isEmpty())
        return;
    const char separator = QDir::separator().toLatin1();
    box->setText(QString::fromStdString(AppendFolderSeparator(chosen.toStdString(), separator)));
}

PreferencesForm PreferencesDialog::readForm() const
{
    PreferencesForm form;
    form.callsign = m_callsign->text().toStdString();
    form.locator = m_locator->text().toStdString();
    form.moonSked = m_moonSked->text().toStdString();
    form.wsjt = m_wsjt->text().toStdString();
    // A typed text that names no item leaves no item selected.
    form.language = m_language->findText(m_language->currentText(), Qt::MatchFixedString);
    for (std::size_t i = 0; i < kPresetCount; ++i) {
        if (i > 0)
            form.presetName[i] = m_names[i]->text().toStdString();
        form.azimuth[i] = m_azimuths[i]->text().toStdString();
        form.elevation[i] = m_elevations[i]->text().toStdString();
    }
    return form;
}

void PreferencesDialog::Button1Click()
{
    const PreferencesForm form = readForm();
    auto outcome = ConfirmPreferences(form, m_filled, m_settings);
    if (auto* refused = std::get_if<PreferencesRefused>(&outcome)) {
        if (m_hooks.messages)
            m_hooks.messages->ShowMessage(refused->message);
        return;
    }
    const PreferenceValues& values = std::get<PreferenceValues>(outcome);
    if (m_hooks.savePreferences)
        m_hooks.savePreferences(values);
    // Copied whether or not the store could be written.
    ApplyPreferences(m_settings, values);
    m_filled = form;  // the settings now hold what these texts stand for
    if (m_hooks.applyNewHome)
        m_hooks.applyNewHome();
    hideToMainWindow();
}

void PreferencesDialog::Button2Click()
{
    hideToMainWindow();
}

void PreferencesDialog::hideToMainWindow()
{
    if (m_hooks.enableMainWindow)
        m_hooks.enableMainWindow();
    hide();
}

void PreferencesDialog::closeEvent(QCloseEvent* event)
{
    if (m_hooks.enableMainWindow)
        m_hooks.enableMainWindow();
    event->accept();
}

void PreferencesDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_centered) {
        m_centered = true;
        CenterOnScreen(this);
    }
}

}  // namespace vantora
