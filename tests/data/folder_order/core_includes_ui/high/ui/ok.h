#pragma once
#include "low/ui/w.h"
