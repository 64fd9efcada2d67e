# The Debian package: the station and station-evaluate in /usr/bin, the simulators and tools in
# /usr/lib/acoustic-station/bin, the tower simulator library beside them (never the default tower
# library), deploy/ in /usr/share/acoustic-station, the udev rule, the systemd user service and
# the sysctl drop-in where the system looks for them. The post-installation script sets the
# capabilities. Built with `cpack -G DEB` in the build folder.
include(GNUInstallDirs)
set(station_private lib/acoustic-station)
set(station_doc share/doc/acoustic-station)

install(TARGETS acoustic-station station-evaluate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS camera-sim camera-dump control-sim streaming-sim pantilt-sim
        RUNTIME DESTINATION ${station_private}/bin)
install(TARGETS tower-sim LIBRARY DESTINATION ${station_private}/tower-sim)
install(FILES deploy/databases.sql deploy/accounts.sql deploy/products.sql deploy/results.sql
              deploy/pictures.sql deploy/demo-products.sql
        DESTINATION ${CMAKE_INSTALL_DATADIR}/acoustic-station/deploy)
install(PROGRAMS deploy/provision-db.sh DESTINATION ${CMAKE_INSTALL_DATADIR}/acoustic-station/deploy)
install(DIRECTORY scripts/missions DESTINATION ${CMAKE_INSTALL_DATADIR}/acoustic-station)
install(FILES deploy/udev/99-station-pantilt.rules DESTINATION /lib/udev/rules.d)
install(FILES deploy/systemd/acoustic-station.service DESTINATION /usr/lib/systemd/user)
install(FILES deploy/sysctl/60-acoustic-station.conf DESTINATION /usr/lib/sysctl.d)
install(FILES deploy/debian/copyright DESTINATION ${station_doc})

# Debian wants the changelog compressed, reproducibly.
set(station_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${station_changelog}
                   COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/deploy/debian/changelog > ${station_changelog}
                   DEPENDS deploy/debian/changelog VERBATIM)
add_custom_target(station_changelog ALL DEPENDS ${station_changelog})
install(FILES ${station_changelog} DESTINATION ${station_doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME acoustic-station)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Acoustic station developers <station@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "acoustic inspection station for plants and vehicles")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_PACKAGE_DESCRIPTION
    "The operator program of an acoustic inspection point: it reads an acoustic\n\
camera's stream, judges timed inspection runs OK or NG, shows them on a\n\
full-screen Korean operator screen and records them in MariaDB. It serves a\n\
control server, two streaming servers, a Pelco-D pan/tilt head and a USB\n\
signal tower. With the simulated peers and the offline evaluation tool.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin, procps, fonts-nanum, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mariadb-server, mariadb-client")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/deploy/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
