# The Debian package, made by CPack from the install rules (cmake/TandrelInstall.cmake)
# with the prefix /usr. scripts/package runs it and copies the package into dist/.
# Its dependencies are computed from the binaries by dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tandrel)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "${TANDREL_COMPANY_NAME}")
set(CPACK_PACKAGE_CONTACT "${TANDREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "segment-mirroring audio effect (VST3, LV2, standalone)")
set(CPACK_PACKAGE_DESCRIPTION
"Tandrel cuts the audio into segments of 1 to 48 microseconds, mirrors pairs
of segments inside groups of N - exchanging them or blending each towards its
partner - rebuilds the audio and shapes its high end with a tone shelf. Up to
three such stages run in series or in parallel.

This package holds the VST3 and LV2 plug-ins, found by hosts in /usr/lib/vst3
and /usr/lib/lv2, the standalone application and tandrel-render, which renders
WAV files through the effect offline.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TANDREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TANDREL_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
