#include "a/ui/paints.h"
#include <QColor>
