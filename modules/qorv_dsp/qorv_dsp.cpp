#include "qorv_dsp.h"
