# Delay-import libraries of the window libraries, made from the list in
# src/foundation/core/delay_loaded_functions.h by binutils' dlltool. A program
# linked with the target window_libraries_delayed loads user32, gdi32 and
# winmm on the first call of one of their functions, through the runtime's
# __delayLoadHelper2 and the hooks in src/foundation/core/platform_win32.cpp.
set(delay_list ${PROJECT_SOURCE_DIR}/src/foundation/core/delay_loaded_functions.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${delay_list})
file(STRINGS ${delay_list} delay_entries REGEX "^WINDOW_LIBRARY_FUNCTION")

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(delay_64 TRUE)
else()
  set(delay_64 FALSE)
endif()
string(REGEX REPLACE "gcc(-posix)?$" "dlltool" DLLTOOL "${CMAKE_C_COMPILER}")

set(delay_libraries)
foreach(library user32 gdi32 winmm)
  set(exports "")
  foreach(entry IN LISTS delay_entries)
    if(NOT entry MATCHES "^WINDOW_LIBRARY_FUNCTION(_WIN64)?\\(([a-z0-9]+), ([A-Za-z0-9_]+)(, ([0-9]+))?\\)")
      message(FATAL_ERROR "delay_loaded_functions.h: cannot read \"${entry}\"")
    endif()
    if(NOT CMAKE_MATCH_2 STREQUAL library)
      continue()
    endif()
    if(delay_64)
      string(APPEND exports "${CMAKE_MATCH_3}\n")
    elseif(NOT CMAKE_MATCH_1)
      # 32-bit x86: the decorated stdcall name, exported undecorated (--kill-at).
      string(APPEND exports "${CMAKE_MATCH_3}@${CMAKE_MATCH_5}\n")
    endif()
  endforeach()
  set(def ${CMAKE_BINARY_DIR}/delay-imports/${library}.def)
  set(archive ${CMAKE_BINARY_DIR}/delay-imports/lib${library}_delayed.a)
  file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${library}.dll\nEXPORTS\n${exports}")
  set(kill_at)
  if(NOT delay_64)
    set(kill_at --kill-at)
  endif()
  # Run in its folder with a relative output name: dlltool makes the names of
  # the archive's symbols from that name, and the program keeps them, so an
  # absolute one would put the build folder into the program's bytes.
  add_custom_command(OUTPUT ${archive}
    COMMAND ${DLLTOOL} --input-def ${def} --dllname ${library}.dll ${kill_at}
            --output-delaylib lib${library}_delayed.a
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/delay-imports
    DEPENDS ${def} VERBATIM)
  list(APPEND delay_libraries ${archive})
endforeach()
add_custom_target(window_libraries_delayed_archives DEPENDS ${delay_libraries})

add_library(window_libraries_delayed INTERFACE)
add_dependencies(window_libraries_delayed window_libraries_delayed_archives)
target_link_libraries(window_libraries_delayed INTERFACE ${delay_libraries})
