#include "low/ui/w.h"
