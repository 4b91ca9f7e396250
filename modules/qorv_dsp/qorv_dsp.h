/*******************************************************************************
 BEGIN_JUCE_MODULE_DECLARATION

  ID:                 qorv_dsp
  vendor:             Quorvex
  version:            1.1.3
  name:               Quorvex DSP
  description:        Segment-mirroring engine: processor base, smoothed arguments,
                      multichannel ring buffer, tone filter, stage and multistage router.
  website:            https://quorvex.com
  license:            GPL-3.0-or-later
  minimumCppStandard: 17

  dependencies:       juce_core juce_audio_basics juce_dsp

 END_JUCE_MODULE_DECLARATION
*******************************************************************************/

#pragma once
#define QORV_DSP_H_INCLUDED

#include <juce_core/juce_core.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

#include "processor/Processor.h"
#include "arguments/ModeNames.h"
#include "arguments/ArgumentLock.h"
#include "arguments/Ramp.h"
#include "arguments/ParkedChange.h"
#include "arguments/FloatArg_v2.h"
#include "arguments/PercentArg_v2.h"
#include "arguments/IntArg.h"
#include "arguments/PlainFloatArg.h"
#include "arguments/ChoiceArg.h"
#include "buffers/MultiChannelRing.h"
#include "filters/IIRFilter_OrderTwo.h"
#include "filters/HighShelfFilter.h"
#include "stage/SegmentLimits.h"
#include "stage/ScalarLane.h"
#include "stage/SegmentFormulas.h"
#include "stage/LagrangeState.h"
#include "stage/SegmentKernels.h"
#include "stage/Lerp.h"
#include "stage/StageArithmetic.h"
#include "stage/SamplingLoop.h"
#include "stage/Mirroring.h"
#include "stage/RebuildingLoop.h"
#include "stage/VectorPath.h"
#include "stage/StageRoute.h"
#include "stage/TandrelStage.h"
#include "stage/ToneFilter.h"
#include "stage/SecondsTrackingMicrosecondsArg_v2.h"
#include "processor/TandrelMultistage.h"
