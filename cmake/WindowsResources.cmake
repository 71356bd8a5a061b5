# The resources of Kronalo.exe and Stamplet.exe: the version Explorer shows in a file's
# properties, the application manifest, and Kronalo's icon. Each program's .rc is made from
# cmake/ProgramResources.rc.in and compiled by windres, all from project()'s version.

# The copyright line as data/copyright has it: "Copyright: <years> <holders>".
file(STRINGS ${PROJECT_SOURCE_DIR}/data/copyright kronalo_copyright REGEX "^Copyright: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright: " "Copyright © " KRONALO_RC_COPYRIGHT "${kronalo_copyright}")
# Its holders, without the years, are the programs' maker.
string(REGEX REPLACE "^Copyright: [0-9, -]+ " "" KRONALO_RC_COMPANY "${kronalo_copyright}")
# A manifest's version has four parts.
set(KRONALO_RC_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
# Every Windows from Vista to 11, each by the id Windows gives it: Windows treats a program as
# written for the newest one listed.
set(KRONALO_RC_SUPPORTED_OS [=[  <compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">
    <application>
      <!-- Windows Vista -->
      <supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>
      <!-- Windows 7 -->
      <supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>
      <!-- Windows 8 -->
      <supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>
      <!-- Windows 8.1 -->
      <supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>
      <!-- Windows 10 and 11 -->
      <supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>
    </application>
  </compatibility>]=])

# Gives program `target` its resources: DESCRIPTION is what Explorer shows as the file's
# description, MANIFEST the template of its manifest, ICON (where given) the .ico Explorer shows.
function(kronalo_program_resources target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;MANIFEST;ICON" "")
    set(KRONALO_RC_PROGRAM ${target})
    set(KRONALO_RC_DESCRIPTION ${arg_DESCRIPTION})
    set(folder ${CMAKE_BINARY_DIR}/generated)
    set(KRONALO_RC_MANIFEST ${folder}/${target}.manifest)
    configure_file(${arg_MANIFEST} ${KRONALO_RC_MANIFEST} @ONLY)
    set(KRONALO_RC_ICON "")
    if(arg_ICON)
        # Icon 1, the lowest id: the one Explorer shows for the program.
        set(KRONALO_RC_ICON "1 ICON \"${arg_ICON}\"")
    endif()
    set(rc ${folder}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/ProgramResources.rc.in ${rc} @ONLY)
    # windres reports no dependencies: a changed manifest or icon builds the resources again.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${KRONALO_RC_MANIFEST};${arg_ICON}")
    target_sources(${target} PRIVATE ${rc})
endfunction()
