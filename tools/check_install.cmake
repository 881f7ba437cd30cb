# Installs the pictures into a folder whose data/ already holds a picture of the user's,
# and checks that it is kept while everything missing is filled in.
#   -DINSTALL_SCRIPT=<build>/tools/cmake_install.cmake -DASSETS=... -DWORK=...
file(REMOVE_RECURSE "${WORK}")
file(WRITE "${WORK}/data/tavik.dat" "the user's own theme")
execute_process(COMMAND ${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=${WORK} -P "${INSTALL_SCRIPT}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "install failed: ${result}")
endif()
file(READ "${WORK}/data/tavik.dat" kept)
if(NOT kept STREQUAL "the user's own theme")
  message(FATAL_ERROR "data/tavik.dat was overwritten")
endif()
foreach(name data/icon.bmp theme/light.bmp theme/dark.bmp plugin/tvk_sched.dat
             plugin/tvk_search.dat plugin/tvk_tenki.dat plugin/tvk_tenki.lst)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}" "${ASSETS}/${name}"
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${name} is missing or differs after the install")
  endif()
endforeach()
