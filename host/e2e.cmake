# The organizer end to end: the build installed into a temporary program folder, the host
# started on it offscreen, the schedule plugin chosen and a schedule added through the real
# dialogs, then a restart.  Also yk_screenshot, which tools/take_screenshots.sh runs under
# Xvfb to draw the README's pictures.
if(NOT YK_GUI OR NOT TARGET yk_host_dialogs)
  return()
endif()

yk_test(e2e_schedule_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/e2e_schedule_test.cpp
  LIBS yk_host_dialogs yk_platform JPEG::JPEG Qt6::Test
  ENV "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/platform/tests/lsan.supp")
target_compile_definitions(e2e_schedule_test PRIVATE
  YK_BUILD_DIR="${PROJECT_BINARY_DIR}" YK_CMAKE_COMMAND="${CMAKE_COMMAND}")

add_executable(yk_screenshot ${PROJECT_SOURCE_DIR}/tools/screenshot.cpp)
yk_warnings(yk_screenshot)
target_link_libraries(yk_screenshot PRIVATE yk_host_dialogs Qt6::Test)

# yk_program_folder builds everything `cmake --install` puts into the program folder; the
# test and tools/take_screenshots.sh install it.  The plugins and the updater are defined
# after the host folder: the call waits for the end of the top-level directory.
add_custom_target(yk_program_folder)
add_dependencies(e2e_schedule_test yk_program_folder)
function(yk_e2e_dependencies)
  foreach(target yk_platform tavik-hpc2k tvk_sched_hpc2karm tvk_search_hpc2karm
                 tvk_tenki_hpc2karm tavik_upd_hpc2k)
    if(TARGET ${target})
      add_dependencies(yk_program_folder ${target})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL yk_e2e_dependencies)

# The search window end to end, on the same installed folder.
yk_test(e2e_search_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/e2e_search_test.cpp
  LIBS yk_host_dialogs yk_platform JPEG::JPEG Qt6::Test
  ENV "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/platform/tests/lsan.supp")
target_compile_definitions(e2e_search_test PRIVATE
  YK_BUILD_DIR="${PROJECT_BINARY_DIR}" YK_CMAKE_COMMAND="${CMAKE_COMMAND}")
add_dependencies(e2e_search_test yk_program_folder)
