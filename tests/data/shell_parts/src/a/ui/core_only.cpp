#include "a/ui/core_only.h"
#include <QTcpServer>
