# Installs the pictures and the holidays into a folder whose data/ already holds a picture
# of the user's, a year of holidays the user edited and a year the user emptied, and checks
# that those are kept while everything missing is filled in.
#   -DINSTALL_SCRIPT=<build>/tools/cmake_install.cmake -DASSETS=... -DWORK=...
file(REMOVE_RECURSE "${WORK}")
file(WRITE "${WORK}/data/tavik.dat" "the user's own theme")
file(WRITE "${WORK}/data/2004holiday.txt" "the user's own holidays")
file(WRITE "${WORK}/data/2005holiday.txt" "")
execute_process(COMMAND ${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=${WORK} -P "${INSTALL_SCRIPT}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "install failed: ${result}")
endif()
file(READ "${WORK}/data/tavik.dat" kept)
if(NOT kept STREQUAL "the user's own theme")
  message(FATAL_ERROR "data/tavik.dat was overwritten")
endif()
file(READ "${WORK}/data/2004holiday.txt" kept)
file(SIZE "${WORK}/data/2005holiday.txt" emptied)
if(NOT kept STREQUAL "the user's own holidays" OR NOT emptied EQUAL 0)
  message(FATAL_ERROR "a year of holidays the user had changed was overwritten")
endif()
foreach(year RANGE 1975 2036)
  if(year EQUAL 2004 OR year EQUAL 2005)
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/data/${year}holiday.txt"
                  "${ASSETS}/holidays/${year}holiday.txt" RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "data/${year}holiday.txt is missing or differs after the install")
  endif()
endforeach()
foreach(name data/icon.bmp theme/light.bmp theme/dark.bmp plugin/tvk_sched.dat
             plugin/tvk_search.dat plugin/tvk_tenki.dat plugin/tvk_tenki.lst)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}" "${ASSETS}/${name}"
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${name} is missing or differs after the install")
  endif()
endforeach()
