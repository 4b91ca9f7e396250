/*******************************************************************************
 BEGIN_JUCE_MODULE_DECLARATION

  ID:                 qorv_dsp
  vendor:             Quorvex
  version:            1.1.3
  name:               Quorvex DSP
  description:        Segment-mirroring engine: processor base, smoothed arguments,
                      multichannel ring buffer, tone filter, stage and multistage router.
  website:            https://quorvex.com
  license:            Proprietary
  minimumCppStandard: 17

  dependencies:       juce_core juce_audio_basics juce_dsp

 END_JUCE_MODULE_DECLARATION
*******************************************************************************/

#pragma once
#define QORV_DSP_H_INCLUDED

#include <juce_core/juce_core.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>

#include <atomic>
#include <memory>
#include <vector>

#include "processor/Processor.h"
#include "arguments/ModeNames.h"
