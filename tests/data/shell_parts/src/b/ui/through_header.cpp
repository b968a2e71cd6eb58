#include "a/ui/core_only.h"
#include "b/ui/widget_header.h"
