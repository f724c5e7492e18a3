#include "winutil.h"

HINSTANCE moduleInstance;
