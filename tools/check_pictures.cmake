# Runs the picture generator into a fresh folder and compares every file it writes with the
# committed one, byte for byte.  -DGENERATOR=... -DASSETS=... -DWORK=...
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${GENERATOR}" "${WORK}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${result}")
endif()
set(files data/tavik.dat data/icon.bmp theme/light.bmp theme/dark.bmp
          plugin/tvk_sched.dat plugin/tvk_search.dat plugin/tvk_tenki.dat
          plugin/tvk_tenki.lst
          desktop/48x48/yomitoki.png desktop/256x256/yomitoki.png)
file(GLOB_RECURSE written RELATIVE "${WORK}" "${WORK}/*")
list(SORT written)
set(expected ${files})
list(SORT expected)
if(NOT written STREQUAL expected)
  message(FATAL_ERROR "the generator wrote [${written}], expected [${expected}]")
endif()
set(differ "")
foreach(name ${files})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}" "${ASSETS}/${name}"
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND differ ${name})
  endif()
endforeach()
if(differ)
  message(FATAL_ERROR "differ from the committed pictures: ${differ} (regenerate with make_pictures)")
endif()
