#include "qorv_gui.h"
