# CPack: a portable archive of the program folder and a Debian package.
#   cpack -G TGZ   proctorium-<version>-linux-<arch>.tar.gz, a Proctorium/ folder
#   cpack -G DEB   proctorium_<version>_<arch>.deb
set(CPACK_PACKAGE_NAME proctorium)
set(CPACK_PACKAGE_VENDOR "The Proctorium maintainers")
set(CPACK_PACKAGE_CONTACT "${PROCTORIUM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PROCTORIUM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "take, score and write multiple-choice tests")
set(CPACK_PACKAGE_DESCRIPTION
    "Proctorium runs a set of multiple-choice questions as a test, timed\nby elapsed time or by a countdown, scores it, shows the questions answered\nwrongly and keeps a results log. A built-in editor writes question sets.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROCTORIUM_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROCTORIUM_HOMEPAGE}")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ DEB)
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" proctorium_platform)
set(CPACK_ARCHIVE_FILE_NAME "proctorium-${PROJECT_VERSION}-${proctorium_platform}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Each generator takes its own layout (see data/CMakeLists.txt).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingPerGenerator.cmake)
include(CPack)
