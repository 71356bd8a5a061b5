# Kronalo asked for its help or its version: the answer is printed on its output and it ends with
# 0, without a window and without a display to be had.
#   cmake -DKRONALO=<the program> -DVERSION=<major.minor> [-DEMULATOR=<runner>] -P ProgramAnswers.cmake
string(REPLACE "." "\\." version "${VERSION}")
set(rows help version)
set(help_argument --help)
set(help_output "^Usage: kronalo \\[path\\]\r?\n.*  --version  print the version and end\r?\n$")
set(version_argument --version)
set(version_output "^Kronalo ${version}\r?\n$")

foreach(row IN LISTS rows)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
                ${EMULATOR} ${KRONALO} ${${row}_argument}
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
    if(NOT status STREQUAL "0" OR NOT output MATCHES "${${row}_output}")
        message(SEND_ERROR "${row}: ${${row}_argument} ended with ${status}, printed:\n${output}"
                           "and on its error output:\n${errors}")
    endif()
endforeach()
