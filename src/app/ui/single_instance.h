#pragma once
// One running program per settings store: a second start asks the first to restore and raise
// its window, then ends without showing anything.

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

    // True when this process is the running instance. False after a running instance was
    // asked to come to the front: the caller ends with exit code 0.
    bool becomePrimary();

    QString serverName() const { return m_name; }

signals:
    void raiseRequested();

private:
    void onNewConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

// What the running instance does when asked: shows `window` again (restored when minimized),
// raises it and makes it the active window.
void RestoreAndRaise(QWidget& window);

}  // namespace vantora
