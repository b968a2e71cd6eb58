#pragma once
// The Presets window (TForm5): eight buttons that send the rotators to the named presets.

#include "settings/settings.h"

#include <QWidget>

#include <array>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace vantora {

class PresetsWindow : public QWidget {
    Q_OBJECT
public:
    using GoPresetFn = std::function<void(int n)>;  // n 1..8: the main window's GoPreset
    using TranslateFn = std::function<std::string(const std::string&)>;

    PresetsWindow(const Settings& settings, GoPresetFn goPreset, const TranslateFn& translate,
                  QWidget* parent = nullptr);

    // Info line cleared, button captions re-read from the preset names.
    void FormActivate();
    // Shows the azimuth and elevation of preset n in the info line.
    void MouseOnPreset(int n);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void presetClicked(int n);

    const Settings& m_settings;
    GoPresetFn m_goPreset;
    std::array<QPushButton*, 8> m_buttons{};
    QLabel* m_info = nullptr;
    bool m_centered = false;
};

}  // namespace vantora
