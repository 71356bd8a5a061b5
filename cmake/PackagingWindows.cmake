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

# The Windows installer, build-win/kronalo-<version>-win64.msi, made by `cmake --build --target
# msi` (not part of the default build). It is built with msitools' wixl rather than NSIS: wixl
# is Debian's own, needs no Windows to run, and makes a real Windows Installer package, which
# Windows lists under installed apps with its version and removes cleanly, and which installs
# for one user without administrator rights. data/kronalo.wxs.in says what it installs.
find_program(WIXL wixl)
# Never changes: it tells Windows Installer that a newer Kronalo replaces the older one.
set(KRONALO_MSI_UPGRADE_CODE 2295E128-D55A-4802-BC1A-A58BE45AF954)
# Each version needs a product code of its own; made from the version number, the same version
# always builds the same one.
string(UUID KRONALO_MSI_PRODUCT_CODE NAMESPACE ${KRONALO_MSI_UPGRADE_CODE}
    NAME ${PROJECT_VERSION} TYPE SHA1 UPPER)
set(msi_folder ${CMAKE_BINARY_DIR}/msi)
configure_file(data/kronalo.wxs.in ${msi_folder}/kronalo.wxs @ONLY)
set(msi ${CMAKE_BINARY_DIR}/kronalo-${PROJECT_VERSION}-win64.msi)
if(WIXL)
    # wixl 0.101 finds the files only by names relative to where it runs: the programs are
    # stripped into the folder of the .wxs, as the zip has them, and the guide and the icon
    # copied there.
    set(icon ${PROJECT_SOURCE_DIR}/data/kronalo.ico)
    add_custom_command(OUTPUT ${msi}
        COMMAND ${CMAKE_STRIP} -o Kronalo.exe $<TARGET_FILE:Kronalo>
        COMMAND ${CMAKE_STRIP} -o Stamplet.exe $<TARGET_FILE:Stamplet>
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/README.txt ${icon} .
        COMMAND ${WIXL} --arch x64 --output ${msi} kronalo.wxs
        WORKING_DIRECTORY ${msi_folder}
        DEPENDS Kronalo Stamplet ${msi_folder}/kronalo.wxs ${CMAKE_BINARY_DIR}/README.txt ${icon}
        COMMENT "Building the installer kronalo-${PROJECT_VERSION}-win64.msi"
        VERBATIM)
    add_custom_target(msi DEPENDS ${msi})
else()
    add_custom_target(msi
        COMMAND ${CMAKE_COMMAND} -E echo
            "The installer needs wixl: apt-get install wixl, then configure again."
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
endif()
