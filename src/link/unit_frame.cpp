#include "link/unit_frame.h"
