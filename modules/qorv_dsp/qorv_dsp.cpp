#include "qorv_dsp.h"

#include "buffers/MultiChannelRing.cpp"
