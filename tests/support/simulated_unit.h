#pragma once
// What the end-to-end drivers (the desktop harness and the headless run) share: starting the
// control-unit simulator on a linked terminal, writing a settings file, and tying their children
// to themselves.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vantora {

// Starts $VANTORA_UNITSIM_BIN with its terminal linked at `link` and its true state kept in
// `stateFile`; true once the link exists.
bool StartSimulatedUnit(QProcess& unit, const QString& link, const QString& stateFile,
                        const QStringList& extraArguments);

// Our children end with us even when we are killed, so that no Xvfb, simulator or program of
// an interrupted run is left behind. Call before the process starts.
void EndWithUs(QProcess& process);

// Writes `lines` as the [General] group of the INI file at `path`, replacing it.
void WriteSettingsFile(const QString& path, const QStringList& lines);

}  // namespace vantora
