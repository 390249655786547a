# The layers hold in the build: each folder names the folders its files may include from,
# and a file that includes from any other fails the configuration, not a later review.
# Include paths name their folder ("platform/replay/format.h"), so one include root serves
# every target while the arrows still point only down. Only a folder marked QT may include
# Qt's headers: the model and the game build for platforms that have no Qt.
function(orvanta_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 layer "QT" "" "MAY_INCLUDE")
  file(GLOB sources ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} qt_includes REGEX "^#include <Q")
    if(qt_includes AND NOT layer_QT)
      list(GET qt_includes 0 first)
      message(FATAL_ERROR "${source}: ${first}, but ${folder}/ builds without Qt")
    endif()
    file(STRINGS ${source} includes REGEX "^#include \"[^\"]+\"")
    foreach(include IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" path "${include}")
      get_filename_component(from "${path}" DIRECTORY)
      if(NOT from STREQUAL folder AND NOT from IN_LIST layer_MAY_INCLUDE)
        message(FATAL_ERROR "${source} includes ${path}, but ${folder}/ may include only "
          "from itself and: ${layer_MAY_INCLUDE}")
      endif()
    endforeach()
  endforeach()
endfunction()
