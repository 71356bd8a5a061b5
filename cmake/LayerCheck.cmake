# Run as a script at build time: fails where a source of a window library includes a header of
# the engine or the platform other than those allowed, since a window reaches them through form/.
#   cmake -DSOURCES=a;b -DALLOWED=platform/X.h;... -DSTAMP=file -P LayerCheck.cmake
cmake_minimum_required(VERSION 3.25)
set(faults "")
foreach(source IN LISTS SOURCES)
    # Quoted or in angle brackets: both reach the same headers through the include folders.
    file(STRINGS ${source} includes
         REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](engine|platform|stamp|stampreport)/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE ".*[\"<]([^\">]+)[\">].*" "\\1" header "${line}")
        if(NOT header IN_LIST ALLOWED)
            string(APPEND faults "\n  ${source}: ${header}")
        endif()
    endforeach()
endforeach()
if(faults)
    message(FATAL_ERROR "A window reaches the engine and the platform only through form/:${faults}")
endif()
file(TOUCH ${STAMP})
