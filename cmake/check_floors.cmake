# Every source of a floor includes only from its own floor and the floors
# below it (see the libraries in CMakeLists.txt and the README's map):
#   cmake -DSOURCE_DIR=<checkout> -P cmake/check_floors.cmake
# One order for portable and Win32 files: store <- guide <- reserve <-
# dialogs <- app. Only Win32 files (ending in _win.h or _win.cpp, not
# _os_win.cpp) also include the resource ids.
cmake_minimum_required(VERSION 3.20)
set(floors store guide reserve dialogs app)

set(faults)
set(below)
foreach(floor ${floors})
  list(APPEND below ${floor})
  file(GLOB files "${SOURCE_DIR}/${floor}/*.h" "${SOURCE_DIR}/${floor}/*.cpp")
  foreach(file ${files})
    set(allowed ${below})
    if(file MATCHES "_win\\.(h|cpp)$" AND NOT file MATCHES "_os_win\\.cpp$")
      list(APPEND allowed resources)
    endif()
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/.*$" "\\1" folder "${line}")
      if(NOT folder IN_LIST allowed)
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
        list(APPEND faults "${name} includes from ${folder}/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "includes against the floors:\n  ${text}")
endif()
message(STATUS "every include keeps to its floor")
