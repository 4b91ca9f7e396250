# JUCE 7.0.5's LV2 wrapper turns each parameter id into an IRI and replaces a
# leading digit with "_", so "1- N Segs", "2- N Segs" and "3- N Segs" all become
# "_-_20N_20Segs" and an LV2 host sees six parameters instead of eleven. The
# wrapper is therefore compiled from a copy whose IRIs put a "p" in front of an
# id that starts with a digit ("p1-_20N_20Segs"); ids such as "Mode" keep their IRI.
# The copy also resizes the host's window when the editor's scale changes (below).
get_target_property(_juce_modules juce_audio_plugin_client INTERFACE_JUCE_MODULE_PATH)
if(NOT _juce_modules)
  set(_juce_modules "/usr/share/juce/modules")
endif()

set(_lv2_original "${_juce_modules}/juce_audio_plugin_client/LV2/juce_LV2_Client.cpp")
file(READ "${_lv2_original}" _lv2_source)

set(_lv2_from "const auto urlSanitised = URL::addEscapeChars (LegacyAudioParameter::getParamID (&param, false), true);")
set(_lv2_to [=[const auto escapedId = URL::addEscapeChars (LegacyAudioParameter::getParamID (&param, false), true);
        const auto urlSanitised = (escapedId.isNotEmpty() && CharacterFunctions::isDigit (escapedId[0]) ? String ("p") : String()) + escapedId;]=])

string(FIND "${_lv2_source}" "${_lv2_from}" _lv2_found)
if(_lv2_found EQUAL -1)
  message(FATAL_ERROR "The LV2 wrapper source changed; review cmake/PatchLV2Wrapper.cmake")
endif()
string(REPLACE "${_lv2_from}" "${_lv2_to}" _lv2_source "${_lv2_source}")

# The wrapper asks the host for a new window size only when the editor's bounds
# change, not when its scale does: an editor drawn at a new interface scale
# keeps its 550 x 550 logical bounds under a new transform, and the host's
# window would keep the old size. Ask whenever the scaled size differs.
set(_lv2_resize_from "if (! hostRequestedResize && wasResized)")
set(_lv2_resize_to "if (! hostRequestedResize && (wasResized || getSizeToContainChild() != getLocalBounds()))")
string(FIND "${_lv2_source}" "${_lv2_resize_from}" _lv2_found)
if(_lv2_found EQUAL -1)
  message(FATAL_ERROR "The LV2 wrapper source changed; review cmake/PatchLV2Wrapper.cmake")
endif()
string(REPLACE "${_lv2_resize_from}" "${_lv2_resize_to}" _lv2_source "${_lv2_source}")

set(_lv2_patched "${CMAKE_BINARY_DIR}/juce_lv2_wrapper/juce_audio_plugin_client_LV2.cpp")
file(WRITE "${_lv2_patched}.tmp" "${_lv2_source}")
file(COPY_FILE "${_lv2_patched}.tmp" "${_lv2_patched}" ONLY_IF_DIFFERENT)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_lv2_original}")

get_target_property(_lv2_sources juce_audio_plugin_client_LV2 INTERFACE_SOURCES)
list(TRANSFORM _lv2_sources REPLACE ".*/juce_audio_plugin_client_LV2\\.cpp$" "${_lv2_patched}")
set_target_properties(juce_audio_plugin_client_LV2 PROPERTIES INTERFACE_SOURCES "${_lv2_sources}")
