# Packages, written by `make package` to build/packages/ (GNUmakefile and
# packaging/make-packages):
#   Linux build (package preset): titles_<version>-1_amd64.deb, made by cpack
#     from everything the install() rules install (programs, word lists,
#     icons, desktop entry, AppStream metadata, bash completion, gzipped
#     manual pages, licence, copyright and changelog).
#   Windows build (package-windows preset): the programs (Titles.exe and
#     titles-cli.exe) with the word lists, LICENSE and a short read-me beside
#     them, installed into one folder, from which packaging/windows/make-zip
#     makes titles-<version>-win64.zip and makensis the setup program
#     titles-<version>-setup.exe from <build>/titles.nsi (written here).
# Every time in them is SOURCE_DATE_EPOCH; modes are fixed and no owner but
# root is recorded, so any builder gets the same bytes.

set(TITLES_MAINTAINER "Titles developers <titles@example.org>")

# One id for the desktop program: the AppStream component, the desktop
# entry's file name and the Wayland application id.
set(TITLES_APP_ID org.example.titles)

# CPACK_STRIP_FILES strips what install(TARGETS) installs, with a plain
# strip: Titles.exe (installed under another name) escapes it, and the
# compiler's .comment notes stay. Both are done here, after every other
# install rule.
if(WIN32)
  set(programs Titles.exe titles-cli.exe)
elseif(TITLES_BUILD_GUI)
  set(programs titles titles-cli)
else()
  set(programs titles-cli)
endif()
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${programs})
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --strip-all --remove-section=.comment
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
")

if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt DESTINATION .)
  set(TITLES_ICON ${PROJECT_SOURCE_DIR}/src/resources/titles.ico)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/titles.nsi.in ${PROJECT_BINARY_DIR}/titles.nsi @ONLY)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
                ${PROJECT_SOURCE_DIR}/packaging/linux/copyright
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  # Debian keeps manual pages and changelogs compressed, reproducibly (-n:
  # no name or time stamp in the archive).
  set(gzipped "")
  macro(titles_gzip source output)
    add_custom_command(OUTPUT ${output}
                       COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${output}
                       DEPENDS ${source} VERBATIM)
    list(APPEND gzipped ${output})
  endmacro()
  set(man ${CMAKE_CURRENT_BINARY_DIR}/man)
  file(MAKE_DIRECTORY ${man})
  titles_gzip(${PROJECT_SOURCE_DIR}/docs/titles-cli.1 ${man}/titles-cli.1.gz)
  install(FILES ${man}/titles-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  if(TITLES_BUILD_GUI)
    titles_gzip(${PROJECT_SOURCE_DIR}/docs/titles.1 ${man}/titles.1.gz)
    install(FILES ${man}/titles.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${TITLES_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # The icon in the sizes menus and software centres look for, each
    # rendered from the artwork (rsvg-convert, librsvg2-bin).
    find_program(TITLES_RSVG_CONVERT rsvg-convert REQUIRED)
    set(icons "")
    foreach(size 16 22 24 32 48 64 128 256)
      set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/titles.png)
      add_custom_command(OUTPUT ${png}
                         COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
                         COMMAND ${TITLES_RSVG_CONVERT} --width ${size} --height ${size} --keep-aspect-ratio
                                 -o ${png} ${PROJECT_SOURCE_DIR}/data/icons/titles.svg
                         DEPENDS ${PROJECT_SOURCE_DIR}/data/icons/titles.svg VERBATIM)
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
      list(APPEND icons ${png})
    endforeach()
    add_custom_target(titles_icons_png ALL DEPENDS ${icons})
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/titles.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()
  # The menu entry of the Qt desktop program. It sets no working directory:
  # the program finds the installed word lists itself, in the user's folder
  # first, wherever it is started from.
  if(TITLES_BUILD_GUI AND TITLES_BACKEND STREQUAL "qt")
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${TITLES_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/titles-cli.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME titles-cli)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME titles)
  titles_gzip(${PROJECT_SOURCE_DIR}/packaging/linux/changelog ${man}/changelog.Debian.gz)
  install(FILES ${man}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  add_custom_target(titles_gzipped ALL DEPENDS ${gzipped})
endif()

# The .deb, by cpack. The Windows packages are made from an installed folder
# (see above), so no CPack configuration is written for them.
if(NOT WIN32)
  set(CPACK_PACKAGE_NAME titles)
  set(CPACK_PACKAGE_VENDOR "Titles")
  set(CPACK_PACKAGE_CONTACT "${TITLES_MAINTAINER}")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "random title generator")
  string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Titles invents random titles from a list of adjectives and a list of\n"
    "nouns. The desktop program shows one title in a small window and\n"
    "composes a new one at each click; titles-cli prints titles for a given\n"
    "seed, checks word lists and counts the compositions they allow.")
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/packages)
  set(CPACK_STRIP_FILES ON)
  # The folders the package makes, whatever the builder's umask.
  set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TITLES_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The fonts stand in for the designed Arial (any metric-compatible sans)
  # and MS Sans Serif (Open Sans sets the scale), and show the Japanese
  # messages (any Japanese font); without them Qt picks others.
  # Qt's Wayland plugin lets the program run in a Wayland session without
  # Xwayland.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
      "fonts-liberation | fonts-liberation2 | fonts-croscore, fonts-open-sans, fonts-ipafont-gothic | fonts-noto-cjk | fonts-vlgothic | fonts-takao-gothic, qt6-wayland")
  include(CPack)
endif()

