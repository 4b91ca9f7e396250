# Lays out the Windows package tree, which is the portable zip's content and
# what the installer installs, and writes the installer's file lists from it.
# Usage: cmake -DTANDREL_ARTEFACTS=<build>/packaging/windows/artefacts.cmake -P assemble.cmake
#
#   <tree>/<product>.vst3/              the VST3 bundle   (installed into Common Files\VST3)
#   <tree>/<app>.exe, tandrel-render.exe the standalone app and the render tool
#   <tree>/<app>.ico                     the icon of the Start-menu entry and the programs list
#   <tree>/README.txt, LICENSE.txt       the README and the GPL-3 (Tandrel, JUCE, VST3 SDK)
#   <tree>/guide.html, guide/            the user guide and its figures
#   <tree>/licenses/                     NOTICE.txt (what each binary holds) and every other licence
#   <tree>/INSTALL.txt                   installing by hand (the zip only)
#   <build>/packaging/windows/files.nsh  the installer's install and uninstall lists and size
cmake_minimum_required(VERSION 3.22)
include("${TANDREL_ARTEFACTS}")

set(tree "${TANDREL_TREE}")
file(REMOVE_RECURSE "${tree}")
file(MAKE_DIRECTORY "${tree}/licenses")

# --- The binaries, without their symbol tables (Windows never reads them) ------
get_filename_component(bundle_name "${TANDREL_VST3_BUNDLE}" NAME)
file(COPY "${TANDREL_VST3_BUNDLE}" DESTINATION "${tree}")
file(COPY_FILE "${TANDREL_STANDALONE}" "${tree}/${TANDREL_APP_NAME}.exe")
file(COPY_FILE "${TANDREL_RENDER_TOOL}" "${tree}/tandrel-render.exe")
file(GLOB_RECURSE binaries "${tree}/*.exe" "${tree}/${bundle_name}/Contents/x86_64-win/*.vst3")
foreach(binary IN LISTS binaries)
  execute_process(COMMAND "${TANDREL_STRIP}" --strip-all "${binary}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(COPY_FILE "${TANDREL_GENERATED}/${TANDREL_APP_NAME}.ico" "${tree}/${TANDREL_APP_NAME}.ico")

# --- Texts, with Windows line ends -----------------------------------------------
function(copy_text source destination)
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "${source} is missing: scripts/install-deps --windows-package installs the package that holds it")
  endif()
  file(READ "${source}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${tree}/${destination}" "${text}")
endfunction()

copy_text("${TANDREL_SOURCE_DIR}/README.md" README.txt)
copy_text("${TANDREL_SOURCE_DIR}/LICENSE" LICENSE.txt)
file(COPY_FILE "${TANDREL_GENERATED}/INSTALL.txt" "${tree}/INSTALL.txt")

# The user guide: the page links its figures as guide/....png.
file(COPY_FILE "${TANDREL_GUIDE_HTML}" "${tree}/guide.html")
file(COPY "${TANDREL_SOURCE_DIR}/docs/guide" DESTINATION "${tree}" FILES_MATCHING PATTERN "*.png")
file(COPY_FILE "${TANDREL_GENERATED}/NOTICE.txt" "${tree}/licenses/NOTICE.txt")

# Everything compiled or linked into the binaries, each with its licence as its
# source states it (NOTICE.txt names which file covers what). The libraries'
# texts are their Debian packages' copyright files: the Windows build links the
# same sources (scripts/mingw-libraries builds them from Debian's source packages).
copy_text("${TANDREL_JUCE_MODULES_DIR}/juce_audio_processors/format_types/VST3_SDK/LICENSE.txt" licenses/VST3_SDK.txt)
copy_text(/usr/share/doc/juce-modules-source/copyright licenses/JUCE.txt)
copy_text("${TANDREL_SOURCE_DIR}/resources/fonts/SourceCodePro-OFL.txt" licenses/SourceCodePro-OFL.txt)
copy_text("${TANDREL_SOURCE_DIR}/resources/fonts/CourierPrime-OFL.txt" licenses/CourierPrime-OFL.txt)
copy_text(/usr/share/doc/libz-mingw-w64-dev/copyright licenses/zlib.txt)
copy_text(/usr/share/doc/libpng16-16/copyright licenses/libpng.txt)
copy_text(/usr/share/doc/libjpeg62-turbo/copyright licenses/libjpeg-turbo.txt)
copy_text(/usr/share/doc/mingw-w64-x86-64-dev/copyright licenses/mingw-w64.txt)

# --- The installer's lists -------------------------------------------------------
# The bundle goes where VST3 hosts look, everything else into the program folder;
# INSTALL.txt tells how to do by hand what the installer does, so it stays out.
# The uninstaller deletes these files one by one and then the folders they made,
# if empty: it removes exactly what was installed, whatever else lies there.
file(GLOB_RECURSE files RELATIVE "${tree}" "${tree}/*")
list(REMOVE_ITEM files INSTALL.txt)
list(SORT files)

function(destination_of relative result)
  string(REPLACE "/" "\\" windows "${relative}")
  string(REPLACE "$" "$$" windows "${windows}")
  string(FIND "${relative}/" "${bundle_name}/" position)
  if(position EQUAL 0)
    set(${result} "\${TANDREL_VST3_FOLDER}\\${windows}" PARENT_SCOPE)
  else()
    set(${result} "$INSTDIR\\${windows}" PARENT_SCOPE)
  endif()
endfunction()

set(install_lines)
set(uninstall_lines)
set(folders)
set(current_folder "none")
set(size 0)
foreach(relative IN LISTS files)
  get_filename_component(folder "${relative}" DIRECTORY)
  if(NOT folder STREQUAL current_folder)
    if(folder STREQUAL "")
      set(out_path "$INSTDIR")
    else()
      destination_of("${folder}" out_path)
    endif()
    string(APPEND install_lines "  SetOutPath \"${out_path}\"\n")
    set(current_folder "${folder}")
  endif()
  string(APPEND install_lines "  File \"${tree}/${relative}\"\n")
  destination_of("${relative}" destination)
  string(APPEND uninstall_lines "  Delete \"${destination}\"\n")
  while(NOT folder STREQUAL "")
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
  file(SIZE "${tree}/${relative}" bytes)
  math(EXPR size "${size} + ${bytes}")
endforeach()
# Deepest first: a folder sorts after its parent, so the reverse order empties children first.
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
  destination_of("${folder}" destination)
  string(APPEND uninstall_lines "  RMDir \"${destination}\"\n")
endforeach()
math(EXPR size_kb "(${size} + 1023) / 1024")

file(WRITE "${TANDREL_GENERATED}/files.nsh"
"; Written by packaging/windows/assemble.cmake from ${tree}.
!define TANDREL_INSTALLED_SIZE_KB ${size_kb}
!macro TANDREL_INSTALL_FILES
${install_lines}!macroend
!macro TANDREL_UNINSTALL_FILES
${uninstall_lines}!macroend
")
