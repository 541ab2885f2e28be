# The version numbers and texts of src/app/version.h as CMake variables
# (PELORIN_VERSION_MAJOR ... PELORIN_VERSION_TEXT), for what CMake writes:
# the CLI's version header and both programs' manifests.
set(PELORIN_VERSION_H ${PROJECT_SOURCE_DIR}/src/app/version.h)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                           ${PELORIN_VERSION_H})
file(STRINGS ${PELORIN_VERSION_H} version_lines REGEX "^#define PELORIN_VERSION_")
foreach(line IN LISTS version_lines)
  if(line MATCHES "^#define (PELORIN_VERSION_[A-Z]+) (.*)$")
    set(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endif()
endforeach()
# Manifests name the assembly version as four numbers.
set(PELORIN_ASSEMBLY_VERSION
    "${PELORIN_VERSION_MAJOR}.${PELORIN_VERSION_MINOR}.${PELORIN_VERSION_BUILD}.${PELORIN_VERSION_REVISION}")
