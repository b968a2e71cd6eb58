#include "a/ui/paints.h"
