# Installing: Kronalo and Stamplet side by side in one program folder, <prefix>/lib/kronalo, as
# the stamp script expects, with the commands kronalo and stamplet in <prefix>/bin, a desktop
# entry, an icon and Stamplet's manual page. CPack makes a .deb of the same.
include(GNUInstallDirs)

install(TARGETS Stamplet RUNTIME DESTINATION ${KRONALO_PROGRAM_FOLDER})
if(KRONALO_WINDOW)
    install(TARGETS Kronalo RUNTIME DESTINATION ${KRONALO_PROGRAM_FOLDER})
endif()

# Relative links, so that an unpacked package works wherever it is unpacked.
set(links ${CMAKE_BINARY_DIR}/links)
file(MAKE_DIRECTORY ${links})
file(CREATE_LINK ../${KRONALO_PROGRAM_FOLDER}/Stamplet ${links}/stamplet SYMBOLIC)
set(commands ${links}/stamplet)
if(KRONALO_WINDOW)
    file(CREATE_LINK ../${KRONALO_PROGRAM_FOLDER}/Kronalo ${links}/kronalo SYMBOLIC)
    list(APPEND commands ${links}/kronalo)
    install(FILES data/kronalo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES data/kronalo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # What software centres show of it, with the release of this version.
    configure_file(data/io.github.kronalo.Kronalo.metainfo.xml.in
        ${CMAKE_BINARY_DIR}/data/io.github.kronalo.Kronalo.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/data/io.github.kronalo.Kronalo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${commands} DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages and the changelog are installed compressed, as Debian keeps them.
find_program(GZIP gzip REQUIRED)
set(compressed)
# The manual pages name the version.
foreach(page stamplet.1 kronalo.1)
    configure_file(data/${page}.in ${CMAKE_BINARY_DIR}/data/${page} @ONLY)
endforeach()
foreach(source ${CMAKE_BINARY_DIR}/data/stamplet.1 ${CMAKE_BINARY_DIR}/data/kronalo.1
        ${PROJECT_SOURCE_DIR}/data/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}.gz
        COMMAND ${GZIP} -9nc ${source} > ${CMAKE_BINARY_DIR}/${name}.gz
        DEPENDS ${source})
    list(APPEND compressed ${CMAKE_BINARY_DIR}/${name}.gz)
endforeach()
add_custom_target(compressed_data ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/stamplet.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(KRONALO_WINDOW)
    install(FILES ${CMAKE_BINARY_DIR}/kronalo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# The user's short guide beside them: the steps in the window, the restore, where the records stay.
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz data/copyright data/README
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kronalo)
# Stamplet is linked statically on purpose: it starts twice per stamped file.
install(FILES data/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME kronalo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kronalo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kronalo developers")
set(CPACK_PACKAGE_CONTACT "The Kronalo developers <kronalo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "copy the date and time stamps of files onto their copies")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kronalo gives converted or copied files (clip01.wmv made from clip01.avi,\nsay) the creation and last-write times of their originals. Its window has\na Finnish user interface. Stamplet, the console tool it uses, sets the\ntimes of the files matching a mask to one local date and time.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Metric-compatible with the faces the window's layout was made for; without it a wider face
# stands in and the controls grow to their captions.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
