# The Windows package: one zip with Kronalo.exe, Stamplet.exe and a short read-me, unpacked into
# the folder the two programs share.
install(TARGETS Kronalo Stamplet RUNTIME DESTINATION .)
configure_file(data/README-windows.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kronalo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME kronalo-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
