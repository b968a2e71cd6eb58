#pragma once
// What the end-to-end drivers (the desktop harness and the headless run) share: starting the
// control-unit simulator on a linked terminal, and writing a settings file.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vantora {

// Starts $VANTORA_UNITSIM_BIN with its terminal linked at `link` and its true state kept in
// `stateFile`; true once the link exists.
bool StartSimulatedUnit(QProcess& unit, const QString& link, const QString& stateFile,
                        const QStringList& extraArguments);

// Writes `lines` as the [General] group of the INI file at `path`, replacing it.
void WriteSettingsFile(const QString& path, const QStringList& lines);

}  // namespace vantora
