# The system layout - /usr/bin/seamwright, the desktop entry, the icon in the
# hicolor theme, the AppStream metainfo, the man page and the copyright file - and
# the Debian package made from it (make package). The relocatable bundle the
# updater replaces is the separate "bundle" component.
if(NOT TARGET seamwright)
  return()
endif()
include(GNUInstallDirs)

set(SEAM_RELEASE_DATE "2026-12-07" CACHE STRING "date of this version, for the metainfo and the man page")
set(SEAM_LICENSE "LicenseRef-proprietary" CACHE STRING "the project's licence (SPDX), for the metainfo")
set(SEAM_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP_PROGRAM gzip REQUIRED)

set(data_in ${PROJECT_SOURCE_DIR}/data)
set(data_out ${CMAKE_BINARY_DIR}/generated/data)
configure_file(${data_in}/seamwright.desktop.in ${data_out}/${SEAM_BUNDLE_ID}.desktop @ONLY)
configure_file(${data_in}/seamwright.metainfo.xml.in ${data_out}/${SEAM_BUNDLE_ID}.metainfo.xml @ONLY)
configure_file(${data_in}/seamwright.1.in ${data_out}/seamwright.1 @ONLY)

set(generated_data ${data_out}/seamwright.1.gz)
add_custom_command(OUTPUT ${data_out}/seamwright.1.gz
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${data_out}/seamwright.1 > ${data_out}/seamwright.1.gz
  DEPENDS ${data_out}/seamwright.1 VERBATIM)
foreach(size ${SEAM_ICON_SIZES})
  set(png ${data_out}/icons/${size}/${SEAM_BUNDLE_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${data_out}/icons/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${data_in}/seamwright.svg
    DEPENDS ${data_in}/seamwright.svg VERBATIM)
  list(APPEND generated_data ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    COMPONENT system)
endforeach()
# Tray icons: data/status/<variant>.svg becomes the theme's status icon
# ${SEAM_BUNDLE_ID}-<variant>, as SVG and in the sizes panels use.
file(GLOB status_icons CONFIGURE_DEPENDS ${data_in}/status/*.svg)
foreach(svg ${status_icons})
  get_filename_component(variant ${svg} NAME_WE)
  set(icon_name ${SEAM_BUNDLE_ID}-${variant})
  install(FILES ${svg} RENAME ${icon_name}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/status COMPONENT system)
  foreach(size 16 22 24 32 48)
    set(png ${data_out}/status/${size}/${icon_name}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${data_out}/status/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
      DEPENDS ${svg} VERBATIM)
    list(APPEND generated_data ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/status
      COMPONENT system)
  endforeach()
endforeach()
add_custom_target(system_data ALL DEPENDS ${generated_data})

install(TARGETS seamwright RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT system)
install(FILES ${data_out}/${SEAM_BUNDLE_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT system)
install(FILES ${data_in}/seamwright.svg RENAME ${SEAM_BUNDLE_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT system)
install(FILES ${data_out}/${SEAM_BUNDLE_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT system)
install(FILES ${data_out}/seamwright.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT system)
install(FILES ${data_in}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/seamwright
  COMPONENT system)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME seamwright)
set(CPACK_PACKAGE_VENDOR "The Seamwright developers")
set(CPACK_PACKAGE_CONTACT "The Seamwright developers <packages@seamwright.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "line up two monitors where the pointer crosses")
set(CPACK_PACKAGE_DESCRIPTION
  "Seamwright is a tray utility for a desktop with two monitors. You click the point
near an edge of one screen where the pointer should leave and the point on the other
screen where it should come in, and it moves the other monitor so the two points meet.
Arrangements are saved with each monitor's identity and come back from the tray menu,
a global hot key, or when the same monitors are attached again.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Only the system component; the bundle is not part of the package.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};system;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://seamwright.org/dazodezarav/seamwright/en")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see it: the X11 platform plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
