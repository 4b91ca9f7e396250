#include "qorv_dsp.h"

#include "buffers/MultiChannelRing.cpp"
#include "stage/SegmentKernels.cpp"
