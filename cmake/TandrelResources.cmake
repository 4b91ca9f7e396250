# Embedded resources: fonts, icons and the factory preset files. Everything under
# resources/ with one of these extensions is compiled into the module; JUCE names
# each entry after its file ("SourceCodePro-Bold.ttf" -> SourceCodeProBold_ttf).
file(GLOB_RECURSE TANDREL_RESOURCE_FILES CONFIGURE_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/resources/fonts/*.ttf"
  "${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/*.svg"
  "${CMAKE_CURRENT_SOURCE_DIR}/resources/presets/*.td11")

if(NOT TANDREL_RESOURCE_FILES)
  set(TANDREL_RESOURCE_FILES "${CMAKE_CURRENT_SOURCE_DIR}/resources/README.md")
endif()

juce_add_binary_data(TandrelBinaryData
  HEADER_NAME BinaryData.h
  NAMESPACE BinaryData
  SOURCES ${TANDREL_RESOURCE_FILES})
