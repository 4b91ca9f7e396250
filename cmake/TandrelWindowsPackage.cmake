# The Windows installer and the portable zip, made from this build by the target
# tandrel_windows_package (scripts/package --windows copies them into dist/):
#
#   package/Tandrel-<version>-windows-x64/          the zip's tree (packaging/windows/assemble.cmake)
#   package/Tandrel-<version>-windows-x64.zip
#   package/Tandrel-<version>-windows-x64-setup.exe NSIS (packaging/windows/Tandrel.nsi)
#
# The product's name, version and publisher reach the installer and the texts
# from here (product.nsh, INSTALL.txt); the tools the target runs are looked for
# when configuring, and without them only the target fails, not the build.

set(TANDREL_WINDOWS_PACKAGE_DIR "${CMAKE_BINARY_DIR}/package")
set(TANDREL_WINDOWS_PACKAGE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-windows-x64")
set(TANDREL_WINDOWS_SETUP "${TANDREL_WINDOWS_PACKAGE_DIR}/${TANDREL_WINDOWS_PACKAGE_NAME}-setup.exe")
set(TANDREL_WINDOWS_ZIP "${TANDREL_WINDOWS_PACKAGE_DIR}/${TANDREL_WINDOWS_PACKAGE_NAME}.zip")
set(TANDREL_PACKAGE_ARTEFACTS
"TANDREL_WINDOWS_SETUP='${TANDREL_WINDOWS_SETUP}'
TANDREL_WINDOWS_ZIP='${TANDREL_WINDOWS_ZIP}'
")

set(tandrel_generated "${CMAKE_BINARY_DIR}/packaging/windows")
set(tandrel_tree "${TANDREL_WINDOWS_PACKAGE_DIR}/${TANDREL_WINDOWS_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${TANDREL_WINDOWS_PACKAGE_DIR}")

# Windows users read text files in Notepad: the texts get CRLF line ends.
configure_file(packaging/windows/product.nsh.in "${tandrel_generated}/product.nsh" @ONLY)
configure_file(packaging/windows/INSTALL.txt.in "${tandrel_generated}/INSTALL.txt" @ONLY NEWLINE_STYLE CRLF)
configure_file(packaging/windows/NOTICE.txt.in "${tandrel_generated}/NOTICE.txt" @ONLY NEWLINE_STYLE CRLF)

# What assemble.cmake lays out, with the artefacts' paths known only at generate time.
file(GENERATE OUTPUT "${tandrel_generated}/artefacts.cmake" CONTENT
"set(TANDREL_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
set(TANDREL_GENERATED \"${tandrel_generated}\")
set(TANDREL_TREE \"${tandrel_tree}\")
set(TANDREL_APP_NAME \"${PROJECT_NAME}\")
set(TANDREL_VST3_BUNDLE \"$<TARGET_GENEX_EVAL:Tandrel_VST3,$<TARGET_PROPERTY:Tandrel_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>\")
set(TANDREL_STANDALONE \"$<TARGET_FILE:Tandrel_Standalone>\")
set(TANDREL_RENDER_TOOL \"$<TARGET_FILE:tandrel-render>\")
set(TANDREL_STRIP \"${CMAKE_STRIP}\")
set(TANDREL_JUCE_MODULES_DIR \"${JUCE_MODULES_DIR}\")
set(TANDREL_GUIDE_HTML \"${TANDREL_GUIDE_HTML}\")
")

find_program(TANDREL_MAKENSIS makensis)
find_program(TANDREL_RSVG_CONVERT rsvg-convert)
find_program(TANDREL_ICOTOOL icotool)
if(NOT TANDREL_MAKENSIS OR NOT TANDREL_RSVG_CONVERT OR NOT TANDREL_ICOTOOL OR NOT TARGET tandrel_guide_html)
  add_custom_target(tandrel_windows_package
    COMMAND "${CMAKE_COMMAND}" -E echo "makensis, rsvg-convert, icotool or python3 is missing: run scripts/package --windows"
    COMMAND "${CMAKE_COMMAND}" -E false
    VERBATIM)
  return()
endif()

# The icon of the installer, the Start-menu entry and the list of installed
# programs, drawn from the desktop icon at the sizes Windows picks from.
set(tandrel_icon "${tandrel_generated}/${PROJECT_NAME}.ico")
set(tandrel_icon_pngs)
set(tandrel_icon_commands)
foreach(size 16 24 32 48 64 256)
  set(png "${tandrel_generated}/icon-${size}.png")
  list(APPEND tandrel_icon_commands
    COMMAND "${TANDREL_RSVG_CONVERT}" --width ${size} --height ${size} --output "${png}" "${PROJECT_SOURCE_DIR}/packaging/tandrel.svg")
  # Windows reads the large size as a PNG inside the icon file.
  if(size EQUAL 256)
    list(APPEND tandrel_icon_pngs "--raw=${png}")
  else()
    list(APPEND tandrel_icon_pngs "${png}")
  endif()
endforeach()
add_custom_command(OUTPUT "${tandrel_icon}"
  ${tandrel_icon_commands}
  COMMAND "${TANDREL_ICOTOOL}" --create --output "${tandrel_icon}" ${tandrel_icon_pngs}
  DEPENDS packaging/tandrel.svg
  VERBATIM)
add_custom_target(tandrel_windows_icon DEPENDS "${tandrel_icon}")

add_custom_target(tandrel_windows_package
  COMMAND "${CMAKE_COMMAND}" "-DTANDREL_ARTEFACTS=${tandrel_generated}/artefacts.cmake"
          -P "${PROJECT_SOURCE_DIR}/packaging/windows/assemble.cmake"
  COMMAND "${TANDREL_MAKENSIS}" -V2 -INPUTCHARSET UTF8
          "-DTANDREL_GENERATED=${tandrel_generated}" "-DTANDREL_TREE=${tandrel_tree}"
          "-DTANDREL_SETUP=${TANDREL_WINDOWS_SETUP}"
          "${PROJECT_SOURCE_DIR}/packaging/windows/Tandrel.nsi"
  COMMAND "${CMAKE_COMMAND}" -E rm -f "${TANDREL_WINDOWS_ZIP}"
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${TANDREL_WINDOWS_ZIP}" --format=zip "${TANDREL_WINDOWS_PACKAGE_NAME}"
  WORKING_DIRECTORY "${TANDREL_WINDOWS_PACKAGE_DIR}"
  BYPRODUCTS "${TANDREL_WINDOWS_SETUP}" "${TANDREL_WINDOWS_ZIP}"
  COMMENT "Making ${TANDREL_WINDOWS_PACKAGE_NAME}-setup.exe and ${TANDREL_WINDOWS_PACKAGE_NAME}.zip"
  VERBATIM)
add_dependencies(tandrel_windows_package Tandrel_VST3 Tandrel_Standalone tandrel-render tandrel_windows_icon tandrel_guide_html)
