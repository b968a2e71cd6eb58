#pragma once
// The Preferences dialog (TForm2): callsign, home locator, language, parking position and
// presets, tracking folders. Created once at start and filled from Settings only then; shown
// and hidden by the main window for the rest of the run.

#include "settings/preferences_logic.h"
#include "settings/settings.h"
#include "settings/ui/dialog_hooks.h"
#include "settings/ui/folder_picker.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace vantora {

class PreferencesDialog : public QWidget {
    Q_OBJECT
public:
    // `settings` is the main window's record: read here, replaced by OK. Create the dialog
    // without a parent: disabling the main window would otherwise disable it too.
    PreferencesDialog(Settings& settings, TranslateFn translate, DialogHooks hooks,
                      QWidget* parent = nullptr);

    // Tests answer for the system picker; the picker is not owned. nullptr restores the system one.
    void setFolderPicker(FolderPicker* picker);

    void Button1Click();        // OK: check, store, copy, apply, hide
    void Button2Click();        // Cancel: hide, store nothing
    void SpeedButton1Click();   // MoonSked folder picker
    void SpeedButton2Click();   // WSJT folder picker

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildBasicTab();
    QWidget* buildPresetsTab();
    QWidget* buildTrackingTab();
    void fillFromSettings();  // FormCreate: once only
    PreferencesForm readForm() const;  // the texts of the controls as they are now
    void pickFolder(QLineEdit* box);
    void hideToMainWindow();
    QString tr8(const char* english) const;  // through Translate

    Settings& m_settings;
    TranslateFn m_translate;
    DialogHooks m_hooks;
    SystemFolderPicker m_systemPicker;
    FolderPicker* m_picker = &m_systemPicker;
    bool m_centered = false;
    PreferencesForm m_filled;  // the texts as filled from the settings (or as last confirmed)

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_callsign = nullptr;   // Edit1
    QLineEdit* m_locator = nullptr;    // Edit2
    QComboBox* m_language = nullptr;   // ComboBox1
    std::array<QLineEdit*, kPresetCount> m_names{};      // Edit3 .. Edit11 (row 0 read-only)
    std::array<QLineEdit*, kPresetCount> m_azimuths{};   // Edit14 .. Edit22
    std::array<QLineEdit*, kPresetCount> m_elevations{}; // Edit23 .. Edit31
    QLineEdit* m_moonSked = nullptr;   // Edit12
    QLineEdit* m_wsjt = nullptr;       // Edit13
};

}  // namespace vantora
