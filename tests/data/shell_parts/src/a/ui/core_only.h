#include <QObject>
#include <QTimer>
