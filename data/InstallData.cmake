# Lays the shipped files into the program folder. Files a user owns once
# they are there (options, question sets, pictures, the results log) are
# copied only when missing, so a rebuild never overwrites them; the help
# pages belong to the program and are always refreshed.
#   cmake -DGENERATED=<dir> -DHELP=<dir> -DPROGRAM=<dir> -P InstallData.cmake
file(MAKE_DIRECTORY "${PROGRAM}/Tests" "${PROGRAM}/help")
file(GLOB_RECURSE generated RELATIVE "${GENERATED}" "${GENERATED}/*")
foreach(rel IN LISTS generated)
  if(NOT EXISTS "${PROGRAM}/${rel}")
    get_filename_component(dir "${PROGRAM}/${rel}" DIRECTORY)
    file(COPY "${GENERATED}/${rel}" DESTINATION "${dir}")
  endif()
endforeach()
file(GLOB pages "${HELP}/*")
if(pages)
  file(COPY ${pages} DESTINATION "${PROGRAM}/help")
endif()
