# What an installation holds: the program and its window module, its
# desktop entry, icons and AppStream data, the manual page and the package's
# documents. The Debian
# package is made from these rules by CPack (scripts/package.sh).
install(TARGETS pondel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET pondel_window)
    install(TARGETS pondel_window LIBRARY DESTINATION ${PONDEL_WINDOW_MODULE_DIR})
endif()

set(pondel_share ${CMAKE_INSTALL_DATADIR})
install(FILES res/desktop/org.pondel.Pondel.desktop DESTINATION ${pondel_share}/applications)
install(FILES res/desktop/org.pondel.Pondel.metainfo.xml DESTINATION ${pondel_share}/metainfo)
install(FILES res/icons/hicolor/pondel.svg DESTINATION ${pondel_share}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
    install(FILES res/icons/hicolor/pondel-${size}.png
        DESTINATION ${pondel_share}/icons/hicolor/${size}x${size}/apps RENAME pondel.png)
endforeach()

# Manual pages and changelogs are installed compressed, as Debian wants them.
find_program(PONDEL_GZIP gzip REQUIRED)
set(pondel_compressed ${CMAKE_BINARY_DIR}/compressed)
function(pondel_compress source output)
    add_custom_command(OUTPUT ${pondel_compressed}/${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${pondel_compressed}
        COMMAND ${PONDEL_GZIP} -9 -n -c ${source} > ${pondel_compressed}/${output}
        DEPENDS ${source} VERBATIM)
endfunction()
pondel_compress(${PROJECT_SOURCE_DIR}/docs/pondel.1 pondel.1.gz)
pondel_compress(${PROJECT_SOURCE_DIR}/packaging/changelog changelog.gz)
add_custom_target(pondel_compressed_docs ALL
    DEPENDS ${pondel_compressed}/pondel.1.gz ${pondel_compressed}/changelog.gz)
install(FILES ${pondel_compressed}/pondel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pondel_compressed}/changelog.gz packaging/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pondel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pondel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pondel developers")
set(CPACK_PACKAGE_CONTACT "Pondel developers <pondel@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "wake computers over the local network and watch them come up")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pondel keeps a list of hosts and wakes them with Wake-on-LAN magic packets.\n"
    "Its window shows which hosts are up by ICMP echo, sweeps address ranges to\n"
    "find running hosts, looks up names and MAC addresses, exchanges hosts\n"
    "through CSV files and the clipboard, and can shut Windows hosts down\n"
    "remotely. A console command wakes one host from scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "iputils-ping, ieee-data")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "samba-common-bin")
set(CPACK_STRIP_FILES ON)
# Folders the system owns keep the system's modes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
