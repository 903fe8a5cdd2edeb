# What `cmake --install` puts where, and the Debian package that cpack makes
# of it: the three programs, the man page, the service unit and the alerting
# rules, and for the window its desktop entry, icons and AppStream metadata.
set(LINKWATCH_APP_ID org.linkwatch.linkwatch)
set(LINKWATCH_MAINTAINER "linkwatch maintainers <linkwatch@localhost>"
    CACHE STRING "Maintainer field of the Debian package")

if(TARGET rkv-sim)
  install(TARGETS rkv-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The service for unattended tests, one instance per serial port, in the
# folder below the prefix where systemd looks (/usr/lib or /usr/local/lib),
# and the alerting rules for Prometheus to load.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/systemd/linkwatch-cli@.service
        DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/prometheus/linkwatch-rules.yml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/linkwatch/prometheus)

# Debian keeps man pages compressed; -n leaves the time out, so that builds
# repeat byte for byte.
set(man_page ${PROJECT_SOURCE_DIR}/docs/linkwatch-cli.1)
set(man_page_gz ${PROJECT_BINARY_DIR}/linkwatch-cli.1.gz)
add_custom_command(OUTPUT ${man_page_gz}
  COMMAND gzip -9nc ${man_page} > ${man_page_gz}
  DEPENDS ${man_page}
  COMMENT "Compressing the man page")
add_custom_target(linkwatch_man_page ALL DEPENDS ${man_page_gz})
install(FILES ${man_page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(LINKWATCH_GUI)
  set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
  install(FILES ${packaging_dir}/${LINKWATCH_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${packaging_dir}/${LINKWATCH_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The window's own icon images, under the names the theme looks up.
  set(icon_dir ${PROJECT_SOURCE_DIR}/src/ui/resources)
  foreach(size 16 32 48)
    install(FILES ${icon_dir}/linkwatch-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME linkwatch.png)
  endforeach()
  install(FILES ${icon_dir}/linkwatch.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME linkwatch)
set(CPACK_PACKAGE_VENDOR linkwatch)
set(CPACK_PACKAGE_CONTACT "${LINKWATCH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "unattended RS-232 link tests against the RKV-3520")
set(CPACK_PACKAGE_DESCRIPTION
    "linkwatch reads the frames that an RKV-3520 instrument sends on a serial\n\
port, adds up its packet, ucERR, cERR and sync-loss counts over a test of\n\
15 minutes to a week, or until stopped, and records every error, every\n\
quiet spell of the line and its return in a table and a plain-text log.\n\
\n\
The package holds the window (linkwatch), the same test for a terminal or\n\
an SSH session (linkwatch-cli), and an instrument simulator on a\n\
pseudo-terminal (rkv-sim).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LINKWATCH_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
