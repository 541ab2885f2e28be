# pelorin-cli runs without a window: the libraries it links, all the way
# down, hold none of the window's. CLOSURE_FILE lists them one a line (the
# build's configure step writes it); FORBIDDEN is a comma-separated list.
# Usage: cmake -DCLOSURE_FILE=f -DFORBIDDEN=a,b -P link_closure_test.cmake
cmake_minimum_required(VERSION 3.20)
file(STRINGS "${CLOSURE_FILE}" closure)
string(REPLACE "," ";" forbidden "${FORBIDDEN}")
set(found "")
foreach(library IN LISTS forbidden)
  if(library IN_LIST closure)
    list(APPEND found ${library})
  endif()
endforeach()
list(JOIN closure " " all)
if(found)
  message(FATAL_ERROR "pelorin-cli links ${found}; its libraries: ${all}")
endif()
message(STATUS "pelorin-cli links none of ${FORBIDDEN}; its libraries: ${all}")
