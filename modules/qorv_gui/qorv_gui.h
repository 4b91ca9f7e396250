/*******************************************************************************
 BEGIN_JUCE_MODULE_DECLARATION

  ID:                 qorv_gui
  vendor:             Quorvex
  version:            1.1.3
  name:               Quorvex GUI
  description:        Look and feel, widgets, labeled suites, hint display and the
                      preset system (manager, loader, files, packs, browser).
  website:            https://quorvex.com
  license:            GPL-3.0-or-later
  minimumCppStandard: 17

  dependencies:       juce_core juce_data_structures juce_events juce_graphics juce_gui_basics juce_audio_processors

 END_JUCE_MODULE_DECLARATION
*******************************************************************************/

#pragma once
#define QORV_GUI_H_INCLUDED

#include <juce_core/juce_core.h>
#include <juce_data_structures/juce_data_structures.h>
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "interfaces/LabelUpdater.h"
#include "interfaces/UserValueUpdater.h"
#include "text/NumberText.h"
#include "text/Utf8Validity.h"
#include "threads/MessageThread.h"

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "lookandfeel/TrianglePaths.h"
#include "lookandfeel/LookAndFeel.h"
#include "widgets/BasicLabel.h"
#include "widgets/BasicTextEditor.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/NotificationLabel.h"
#include "widgets/TitleLabels.h"
#include "widgets/HyperlinkLabelRow.h"
#include "widgets/IconButton.h"
#include "widgets/TriangleButton.h"
#include "widgets/BoxToggleButton.h"
#include "widgets/MouseoverTextButton.h"
#include "widgets/IndicatorLight.h"
#include "suites/SuiteKind.h"
#include "suites/LabeledSuite.h"
#include "suites/SliderSuite.h"
#include "suites/ToggleButtonSuite.h"
#include "suites/IndicatorLightSuite.h"
#include "suites/TextEditorSuite.h"
#include "suites/LabeledSuiteGrid.h"
#include "hints/TipDisplayComponent.h"

#include "presets/FileReplacement.h"
#include "presets/PresetNameOrder.h"
#include "presets/FolderListing.h"
#include "presets/FolderVisits.h"
#include "presets/PresetManager.h"
#include "presets/PresetLoader.h"
#include "presets/PresetDisplay.h"
#include "presets/LoadStateUndoableAction.h"
#include "presets/UserFolder.h"
#include "presets/PresetFileCodec.h"
#include "presets/DataFolder.h"
#include "presets/PresetPack.h"
#include "presets/PresetComponent.h"
#include "presets/PresetMenuBuilder.h"
#include "presets/PresetScroller.h"
