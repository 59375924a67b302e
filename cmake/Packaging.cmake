# Packages, written to build/packages/:
#   Windows build (windows preset): titles-<version>-win64.zip, the programs
#     with the word lists beside them, ready to run from the unpacked folder.
#   Linux build (default preset): a .deb of everything the install() rules
#     install (programs, word lists, icon, desktop entry, manual pages).
# Made by `make package`, or `cpack --config <build>/CPackConfig.cmake`.

if(EXISTS ${PROJECT_SOURCE_DIR}/README.md)
  if(WIN32)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  else()
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
endif()

set(CPACK_PACKAGE_NAME titles)
set(CPACK_PACKAGE_VENDOR "Titles")
set(CPACK_PACKAGE_CONTACT "Titles developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Titles invents random titles from a list of adjectives and a list of nouns. "
  "The desktop program shows one title in a small window and composes a new one "
  "at each click; titles-cli prints titles for a given seed.")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/packages)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME titles-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Loaded at run time, so invisible to shlibdeps: the SVG plugin draws the
  # window icon, and the fonts stand in for the designed Arial and MS Sans
  # Serif (the latter sets the scale) and show the Japanese messages.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-liberation, fonts-open-sans, fonts-ipafont-gothic")
endif()

include(CPack)
