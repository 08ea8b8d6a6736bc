# Writes the linker's dynamic list for the program: every name the desktop
# module leaves undefined. Names the program does not define are ignored by
# the linker, so GTK's and the C library's may stay in the list.
#   cmake -DNM=<nm> -DMODULE=<module> -DOUTPUT=<list> -P module_imports.cmake
execute_process(COMMAND "${NM}" -D --undefined-only "${MODULE}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not list the names ${MODULE} imports")
endif()
string(REGEX MATCHALL "[^ \n]+\n" names "${listing}")
set(entries "")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  string(REGEX REPLACE "@.*" "" name "${name}")
  string(APPEND entries "  ${name};\n")
endforeach()
file(WRITE "${OUTPUT}" "{\n${entries}};\n")
