#pragma once
// The headless program (`vantora --headless`) and the simulator as processes, with no display:
// DISPLAY is removed from the program's environment. Talks to it over its servers, reads its
// standard error line by line, signals it.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace vantora::test {

class HeadlessRun {
public:
    HeadlessRun();
    ~HeadlessRun();

    QString dir() const { return m_dir.path(); }
    QString settingsPath() const { return m_dir.filePath("vantora.conf"); }
    QString linkPath() const { return m_dir.filePath("com1"); }
    quint16 tcpPort() const { return m_tcpPort; }

    // Writes the settings file (INI lines under [General]).
    void writeSettings(const QStringList& lines);

    bool startUnit(const QStringList& extraArguments = {});
    void stopUnit();
    std::optional<int> unitPosition(int rotator) const;  // the simulator's own state

    // `vantora --headless --settings <file> --port <link>` (plus `extraArguments`), without DISPLAY.
    bool startProgram(const QStringList& extraArguments = {});
    // Another program the same way; its exit code, or -1 when it kept running for `waitMs`.
    int runSecondProgram(int waitMs, QByteArray* errors = nullptr);
    qint64 programPid() const;
    bool programRunning() const;
    int waitProgramExit(int waitMs);  // exit code, -1 when it did not end (or crashed)
    void signalProgram(int signal) const;

    // Everything the program wrote to standard error so far.
    QByteArray errors();
    // Waits until standard error holds a line containing `text` (after `from` bytes).
    bool waitForLine(const QString& text, int limitMs, qsizetype from = 0);

    // One request on a fresh TCP connection to 127.0.0.1:`port`; the reply when one comes.
    static QByteArray ask(quint16 port, const QByteArray& request, int waitMs = 1000);

    static quint16 freeTcpPort();

private:
    QTemporaryDir m_dir;
    QProcess m_unit;
    QProcess m_program;
    QByteArray m_errors;
    quint16 m_tcpPort = 0;
};

}  // namespace vantora::test
