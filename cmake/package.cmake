# The Debian package (scripts/package): the program folder under /usr/lib/tolvex, the two
# commands in /usr/bin, the desktop entry with its icons and AppStream metadata, the demo data
# under /usr/share/tolvex/demo, the copyright file, the changelog and the manual pages.
set(TOLVEX_APP_ID "org.example.tolvex" CACHE STRING "Desktop entry and AppStream identifier (reverse DNS)")
set(TOLVEX_DEVELOPER "Velmora Airlines")
set(TOLVEX_MAINTAINER "Velmora Airlines <tolvex@example.org>" CACHE STRING "Package maintainer")
set(TOLVEX_SCREENSHOT_URL "https://tolvex.example.org/capturas/mapa.png" CACHE STRING "AppStream screenshot")
target_compile_definitions(tolvex PRIVATE TOLVEX_APP_ID="${TOLVEX_APP_ID}")

# cpack installs only what scripts/package built, not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/package)
set(pkg_lib lib/tolvex)
file(MAKE_DIRECTORY ${pkg_out})

# The changelog's newest entry names this version and gives the release date.
file(STRINGS ${pkg_src}/changelog changelog_lines)
list(GET changelog_lines 0 changelog_head)
if(NOT changelog_head MATCHES "^tolvex \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not version ${PROJECT_VERSION}: ${changelog_head}")
endif()
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
    if(month LESS 10)
      set(month 0${month})
    endif()
    set(TOLVEX_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})
    break()
  endif()
endforeach()

configure_file(${pkg_src}/tolvex.desktop.in ${pkg_out}/${TOLVEX_APP_ID}.desktop @ONLY)
configure_file(${pkg_src}/tolvex.metainfo.xml.in ${pkg_out}/${TOLVEX_APP_ID}.metainfo.xml @ONLY)
# Leaflet's own licence text, as the copyright format wants it: indented, blank lines as " .".
file(READ ${CMAKE_SOURCE_DIR}/node_modules/leaflet/LICENSE leaflet_license)
string(STRIP "${leaflet_license}" leaflet_license)
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" leaflet_license "${leaflet_license}")
string(REGEX REPLACE "\n" "\n " TOLVEX_LEAFLET_LICENSE " ${leaflet_license}")
configure_file(${pkg_src}/copyright.in ${pkg_out}/copyright @ONLY)

# Compressed the way Debian wants them (gzip -9, no name or time stamp inside).
set(pkg_gz)
foreach(pair "changelog;changelog" "tolvex.1;tolvex.1" "tolvex-simfeed.1;tolvex-simfeed.1")
  list(GET pair 0 name)
  configure_file(${pkg_src}/${name} ${pkg_out}/${name} @ONLY)
  add_custom_command(OUTPUT ${pkg_out}/${name}.gz
    COMMAND gzip -9 -n -c ${pkg_out}/${name} > ${pkg_out}/${name}.gz
    DEPENDS ${pkg_out}/${name}
    VERBATIM)
  list(APPEND pkg_gz ${pkg_out}/${name}.gz)
endforeach()

# The commands: links into the program folder, which the executable finds through /proc/self/exe.
file(CREATE_LINK ../${pkg_lib}/tolvex ${pkg_out}/tolvex SYMBOLIC)
file(CREATE_LINK ../${pkg_lib}/simfeed ${pkg_out}/tolvex-simfeed SYMBOLIC)

# Everything the package holds, built: `cmake --build build --target package_files`.
add_custom_target(package_files DEPENDS ${pkg_gz})
add_dependencies(package_files tolvex simfeed program_files app_icons)

install(TARGETS tolvex simfeed RUNTIME DESTINATION ${pkg_lib})
foreach(f IN LISTS TOLVEX_PROGRAM_FILES)
  file(RELATIVE_PATH rel ${TOLVEX_PROGRAM_DIR} ${f})
  get_filename_component(dir ${rel} DIRECTORY)
  install(FILES ${f} DESTINATION ${pkg_lib}/${dir})
endforeach()
install(FILES ${pkg_src}/installed_package DESTINATION ${pkg_lib})
install(FILES ${pkg_out}/tolvex ${pkg_out}/tolvex-simfeed DESTINATION bin)

install(FILES ${pkg_out}/${TOLVEX_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${pkg_out}/${TOLVEX_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 48 128 256)
  install(FILES ${TOLVEX_APP_ICON_DIR}/tolvex-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${TOLVEX_APP_ID}.png)
endforeach()

file(GLOB demo_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/demo/*)
install(FILES ${demo_files} DESTINATION share/tolvex/demo)
if(TARGET demo_sounds)
  add_dependencies(package_files demo_sounds)
  install(FILES ${CMAKE_BINARY_DIR}/demo_sounds/aviso.mp3 DESTINATION share/tolvex/demo)
endif()

install(FILES ${pkg_out}/copyright ${pkg_out}/changelog.gz DESTINATION share/doc/tolvex)
install(FILES ${pkg_out}/tolvex.1.gz ${pkg_out}/tolvex-simfeed.1.gz DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${TOLVEX_DEVELOPER})
set(CPACK_PACKAGE_CONTACT ${TOLVEX_MAINTAINER})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TOLVEX_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "moving map for VFR flight simulation (Spanish interface)
Tolvex shows the simulated aircraft's position and heading on a web map, with
airspaces, VFR reporting points and the planned route. It reads the position
from the IOCP Server (TCP) or from the network GPS output (XGPS/XATT over UDP)
of X-Plane, FlightGear and common bridges. A route editor computes a flight
plan with headings, distances, times, fuel and a terrain profile.

The package also holds tolvex-simfeed, a simulator stand-in that flies a
circuit, and invented demo data (not for navigation).")
# The libraries come from dpkg-shlibdeps (the browser's helper process with them); these are
# loaded at run time without being linked: the sound backend's plugins, the dialogs' fonts and
# Qt's Spanish texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-dejavu-core, fonts-dejavu-extra, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
