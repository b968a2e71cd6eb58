#pragma once
// One running program per settings store: a second start asks the first to restore and raise
// its window, then ends without showing anything. The guard is a local socket in the user's
// private runtime folder (XDG_RUNTIME_DIR) where there is one, else in the temporary folder;
// only a program of the same user counts as the running instance. When the guard cannot be
// taken (another user holds its name, the socket cannot listen), the program starts anyway and
// says so on standard error.

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

namespace vantora {

class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    // `key` tells stores apart (the settings location); the guard's name is rotator_view plus
    // a digest of the key and the user, so tests with their own stores never meet.
    explicit SingleInstanceGuard(const QString& key, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // True when this process is to run: it is the running instance, or the guard could not be
    // taken (problem() says why; a line went to standard error). False after a running instance
    // of the same user was asked to come to the front: the caller ends with exit code 0.
    bool becomePrimary();

    // The socket's full path.
    QString serverName() const { return m_name; }
    // Why the guard could not be taken; empty when it was.
    QString problem() const { return m_problem; }

signals:
    void raiseRequested();

private:
    void onNewConnection();
    bool startAnyway(const QString& why);

    QString m_name;
    QString m_problem;
    QLocalServer* m_server = nullptr;
};

// The folder for the guard's socket: `runtimeDir` (XDG_RUNTIME_DIR) when it names an existing
// folder owned by this user, else the temporary folder.
QString GuardFolder(const QString& runtimeDir);

// What the running instance does when asked: shows `window` again (restored when minimized),
// raises it and makes it the active window.
void RestoreAndRaise(QWidget& window);

}  // namespace vantora
