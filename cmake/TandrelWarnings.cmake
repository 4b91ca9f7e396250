# Warnings. Our own sources (plugin/, modules/, tools/, tests/, bench/) build
# without a warning under JUCE's recommended warning flags, and with GCC, the
# project's compiler, a new warning fails the build. JUCE is compiled as system
# code so that the flags judge our files only: its headers are system includes,
# and its module translation units, which JUCE compiles inside the targets that
# link a module, build with warnings off (GCC 12 reports false positives in
# them, e.g. -Wdangling-pointer from juce_ListenerList.h).

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(_tandrel_werror_default ON)
else()
  set(_tandrel_werror_default OFF)
endif()
option(TANDREL_WARNINGS_AS_ERRORS "Fail the build on a warning in the project's own sources" ${_tandrel_werror_default})

# The warning flags every target of ours builds with.
add_library(tandrel_warning_flags INTERFACE)
target_link_libraries(tandrel_warning_flags INTERFACE juce::juce_recommended_warning_flags)
if(TANDREL_WARNINGS_AS_ERRORS)
  target_compile_options(tandrel_warning_flags INTERFACE -Werror)
endif()

# JUCE's module targets (and the SDK header targets under them) hand their
# include directories to consumers as system includes.
get_property(_tandrel_targets DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}" PROPERTY BUILDSYSTEM_TARGETS)
foreach(_target IN LISTS _tandrel_targets)
  get_target_property(_type ${_target} TYPE)
  if(_target MATCHES "^juce_" AND _type STREQUAL "INTERFACE_LIBRARY")
    set_target_properties(${_target} PROPERTIES SYSTEM TRUE)
  endif()
endforeach()

# JUCE's module translation units: one per module at the module's top level,
# plus the patched copy of the LV2 wrapper (cmake/PatchLV2Wrapper.cmake).
file(GLOB TANDREL_JUCE_SOURCES "${JUCE_MODULES_DIR}/*/*.cpp")
list(APPEND TANDREL_JUCE_SOURCES "${CMAKE_BINARY_DIR}/juce_lv2_wrapper/juce_audio_plugin_client_LV2.cpp")

# Source properties belong to a directory: every directory whose targets
# compile JUCE's modules calls this once.
function(tandrel_compile_juce_as_system_code)
  set_property(SOURCE ${TANDREL_JUCE_SOURCES} APPEND PROPERTY COMPILE_OPTIONS -w)
endfunction()
