# Embedded resources of the plug-in: the control bar's icons and the factory
# preset files. Every file under resources/ with one of these extensions is
# compiled in; JUCE names each entry after its file ("undo.svg" -> undo_svg).
# The toolkit's fonts belong to the qorv_gui module (see CMakeLists.txt).
file(GLOB TANDREL_ICON_FILES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/*.svg")
file(GLOB TANDREL_PRESET_FILES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/resources/presets/*.td11")

# A checkout without them would build a plug-in with no icons and no factory bank.
if(NOT TANDREL_ICON_FILES)
  message(FATAL_ERROR "No icons found in ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons (*.svg)")
endif()
if(NOT TANDREL_PRESET_FILES)
  message(FATAL_ERROR "No factory presets found in ${CMAKE_CURRENT_SOURCE_DIR}/resources/presets (*.td11)")
endif()

juce_add_binary_data(TandrelBinaryData
  HEADER_NAME BinaryData.h
  NAMESPACE BinaryData
  SOURCES ${TANDREL_ICON_FILES} ${TANDREL_PRESET_FILES})
