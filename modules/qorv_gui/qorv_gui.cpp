#include "qorv_gui.h"

#include "presets/PresetFileCodec.cpp"
#include "presets/DataFolder.cpp"
#include "presets/PresetLoader.cpp"
#include "presets/LoadStateUndoableAction.cpp"
#include "presets/PresetManager.cpp"
#include "presets/UserFolder.cpp"
#include "presets/PresetPack.cpp"
