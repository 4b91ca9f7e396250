# The user guide (docs/guide.md, figures in docs/guide/, drawn by scripts/guide)
# as one HTML page, made with Debian's python3-markdown (scripts/install-deps
# --package installs it). A package that carries the guide builds
# tandrel_guide_html and ships TANDREL_GUIDE_HTML, docs/guide.md and the PNGs of
# docs/guide/ side by side, keeping the folder guide/ beside the page: the page
# and the Markdown link their figures as guide/....png.
find_program(TANDREL_PYTHON3 python3 HINTS /usr/bin)
set(TANDREL_GUIDE_HTML "${CMAKE_BINARY_DIR}/guide/guide.html")
if(TANDREL_PYTHON3)
  add_custom_command(OUTPUT "${TANDREL_GUIDE_HTML}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/guide"
    COMMAND "${TANDREL_PYTHON3}" "${PROJECT_SOURCE_DIR}/tools/guidedata/guide_html.py"
            "${PROJECT_SOURCE_DIR}/docs/guide.md" "${TANDREL_GUIDE_HTML}"
    DEPENDS "${PROJECT_SOURCE_DIR}/docs/guide.md" "${PROJECT_SOURCE_DIR}/tools/guidedata/guide_html.py" VERBATIM)
  add_custom_target(tandrel_guide_html DEPENDS "${TANDREL_GUIDE_HTML}")
endif()
