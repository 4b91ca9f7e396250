# What `cmake --install` puts where, for a system install (the Debian package,
# prefix /usr) and for a per-user install (prefix ~/.local, scripts/install):
#
#   <prefix>/bin/tandrel, tandrel-render        the standalone app and the render tool
#   <prefix>/lib/vst3/Tandrel_v1-1.vst3         the VST3 bundle   (~/.vst3 for a per-user install)
#   <prefix>/lib/lv2/Tandrel_v1-1.lv2           the LV2 bundle    (~/.lv2 for a per-user install)
#   <prefix>/share/applications/tandrel.desktop, share/icons/hicolor/scalable/apps/tandrel.svg
#   <prefix>/share/man/man1/tandrel.1.gz, tandrel-render.1.gz
#   <prefix>/share/doc/tandrel/                 README, copyright, changelog, the fonts' licences,
#                                               the user guide (guide.html, guide.md, guide/*.png)
#
# Hosts look for the system's plug-ins in /usr/lib/vst3 and /usr/lib/lv2 (and
# under /usr/local), but for a user's own only in ~/.vst3 and ~/.lv2, never
# under ~/.local: the bundles' folder is therefore chosen when installing, from
# the prefix. The generated documents (manual pages, changelog, copyright) are
# made by the target tandrel_package_documents, which scripts/package and
# scripts/install build; without them the install skips them.

include(GNUInstallDirs)

set(TANDREL_PACKAGE_MAINTAINER "Quorvex <support@quorvex.com>" CACHE STRING
    "Maintainer named in the Debian package, its changelog and its copyright file")

set(TANDREL_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/tandrel")
set(TANDREL_GENERATED_DOCS "${CMAKE_BINARY_DIR}/packaging")

# --- Programs and plug-in bundles -------------------------------------------
# One install step, because the bundles' folder depends on the prefix known only
# now. `cmake --install --strip` and the package strip the binaries as Debian
# does (debug symbols and notes out, the dynamic symbols the hosts need kept).
install(CODE "
set(tandrel_vst3_bundle \"$<TARGET_GENEX_EVAL:Tandrel_VST3,$<TARGET_PROPERTY:Tandrel_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>\")
set(tandrel_lv2_bundle \"$<TARGET_GENEX_EVAL:Tandrel_LV2,$<TARGET_PROPERTY:Tandrel_LV2,JUCE_PLUGIN_ARTEFACT_FILE>>\")
set(tandrel_standalone \"$<TARGET_FILE:Tandrel_Standalone>\")
set(tandrel_render_tool \"$<TARGET_FILE:tandrel-render>\")
set(tandrel_strip \"${CMAKE_STRIP}\")
set(tandrel_bin_dir \"${CMAKE_INSTALL_BINDIR}\")
")
install(CODE [[
file(REAL_PATH "${CMAKE_INSTALL_PREFIX}" tandrel_prefix)
file(REAL_PATH "$ENV{HOME}/.local" tandrel_user_prefix)
if(DEFINED ENV{HOME} AND tandrel_prefix STREQUAL tandrel_user_prefix)
  set(tandrel_vst3_dir "$ENV{HOME}/.vst3")
  set(tandrel_lv2_dir "$ENV{HOME}/.lv2")
else()
  set(tandrel_vst3_dir "${CMAKE_INSTALL_PREFIX}/lib/vst3")
  set(tandrel_lv2_dir "${CMAKE_INSTALL_PREFIX}/lib/lv2")
endif()

file(INSTALL DESTINATION "${tandrel_vst3_dir}" TYPE DIRECTORY FILES "${tandrel_vst3_bundle}" USE_SOURCE_PERMISSIONS)
file(INSTALL DESTINATION "${tandrel_lv2_dir}" TYPE DIRECTORY FILES "${tandrel_lv2_bundle}" USE_SOURCE_PERMISSIONS)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${tandrel_bin_dir}" TYPE PROGRAM FILES "${tandrel_standalone}" RENAME tandrel)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${tandrel_bin_dir}" TYPE PROGRAM FILES "${tandrel_render_tool}")

# Hosts load the modules, nobody runs them: no execute bits, as Debian ships libraries.
get_filename_component(tandrel_vst3_name "${tandrel_vst3_bundle}" NAME)
get_filename_component(tandrel_lv2_name "${tandrel_lv2_bundle}" NAME)
file(GLOB_RECURSE tandrel_modules
  "$ENV{DESTDIR}${tandrel_vst3_dir}/${tandrel_vst3_name}/*.so"
  "$ENV{DESTDIR}${tandrel_lv2_dir}/${tandrel_lv2_name}/*.so")
file(CHMOD ${tandrel_modules} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

if(CMAKE_INSTALL_DO_STRIP AND tandrel_strip)
  foreach(module IN LISTS tandrel_modules)
    execute_process(COMMAND "${tandrel_strip}" --remove-section=.comment --remove-section=.note --strip-unneeded "${module}"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  foreach(program tandrel tandrel-render)
    execute_process(COMMAND "${tandrel_strip}" --remove-section=.comment --remove-section=.note
                            "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${tandrel_bin_dir}/${program}"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()
]])

# The installed binaries link as Debian's own do: read-only relocations, bound at load.
foreach(target Tandrel_VST3 Tandrel_LV2 Tandrel_Standalone tandrel-render)
  target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
endforeach()

# --- Desktop entry, icon ------------------------------------------------------
install(FILES packaging/tandrel.desktop DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/applications")
install(FILES packaging/tandrel.svg DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps")

# --- Manual pages, documentation ------------------------------------------------
# The render tool's manual page is written from its own --help, so it follows its options.
find_program(TANDREL_HELP2MAN help2man)
find_program(TANDREL_GZIP gzip REQUIRED)

# Debian's copyright file carries the fonts' licence in full, taken from the
# licence text beside the fonts (its part after the copyright notice).
file(READ resources/fonts/SourceCodePro-OFL.txt tandrel_ofl)
string(FIND "${tandrel_ofl}" "SIL OPEN FONT LICENSE Version 1.1" tandrel_ofl_start)
string(SUBSTRING "${tandrel_ofl}" ${tandrel_ofl_start} -1 tandrel_ofl)
string(STRIP "${tandrel_ofl}" tandrel_ofl)
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" tandrel_ofl "${tandrel_ofl}")
string(REGEX REPLACE "\n" "\n " TANDREL_OFL_TEXT " ${tandrel_ofl}")
configure_file(packaging/copyright.in "${TANDREL_GENERATED_DOCS}/copyright" @ONLY)
configure_file(packaging/changelog.in "${TANDREL_GENERATED_DOCS}/changelog" @ONLY)
configure_file(packaging/tandrel.1.in "${TANDREL_GENERATED_DOCS}/tandrel.1" @ONLY)

set(tandrel_documents
  "${TANDREL_GENERATED_DOCS}/changelog.gz"
  "${TANDREL_GENERATED_DOCS}/tandrel.1.gz")
add_custom_command(OUTPUT "${TANDREL_GENERATED_DOCS}/changelog.gz"
  COMMAND "${TANDREL_GZIP}" -9nf -k "${TANDREL_GENERATED_DOCS}/changelog"
  DEPENDS "${TANDREL_GENERATED_DOCS}/changelog" VERBATIM)
add_custom_command(OUTPUT "${TANDREL_GENERATED_DOCS}/tandrel.1.gz"
  COMMAND "${TANDREL_GZIP}" -9nf -k "${TANDREL_GENERATED_DOCS}/tandrel.1"
  DEPENDS "${TANDREL_GENERATED_DOCS}/tandrel.1" VERBATIM)
if(TANDREL_HELP2MAN)
  add_custom_command(OUTPUT "${TANDREL_GENERATED_DOCS}/tandrel-render.1.gz"
    COMMAND "${TANDREL_HELP2MAN}" --no-info --no-discard-stderr --version-string=${PROJECT_VERSION}
            --name "render audio files through the Tandrel effect offline" --section 1
            --source "${TANDREL_COMPANY_NAME}" --manual "User Commands"
            --include "${PROJECT_SOURCE_DIR}/packaging/tandrel-render.h2m"
            --output "${TANDREL_GENERATED_DOCS}/tandrel-render.1" "$<TARGET_FILE:tandrel-render>"
    COMMAND "${TANDREL_GZIP}" -9nf "${TANDREL_GENERATED_DOCS}/tandrel-render.1"
    DEPENDS tandrel-render packaging/tandrel-render.h2m VERBATIM)
  list(APPEND tandrel_documents "${TANDREL_GENERATED_DOCS}/tandrel-render.1.gz")
endif()
if(TARGET tandrel_guide_html)
  list(APPEND tandrel_documents "${TANDREL_GUIDE_HTML}")
endif()
add_custom_target(tandrel_package_documents DEPENDS ${tandrel_documents})

install(FILES ${TANDREL_GENERATED_DOCS}/tandrel.1.gz ${TANDREL_GENERATED_DOCS}/tandrel-render.1.gz
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" OPTIONAL)
install(FILES
          README.md
          "${TANDREL_GENERATED_DOCS}/copyright"
          resources/fonts/SourceCodePro-OFL.txt
          resources/fonts/CourierPrime-OFL.txt
        DESTINATION "${TANDREL_DOC_DIR}")
install(FILES "${TANDREL_GENERATED_DOCS}/changelog.gz" DESTINATION "${TANDREL_DOC_DIR}" OPTIONAL)
install(FILES docs/guide.md "${TANDREL_GUIDE_HTML}" DESTINATION "${TANDREL_DOC_DIR}" OPTIONAL)
install(DIRECTORY docs/guide DESTINATION "${TANDREL_DOC_DIR}" FILES_MATCHING PATTERN "*.png")
# Registers the guide with the system's documentation index (doc-base).
install(FILES packaging/tandrel-guide.doc-base DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc-base" RENAME tandrel-guide)
