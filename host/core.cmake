# The host's core: plugin loader, window manager and composition.  No widgets: it works on
# the Host context and reaches the view through host/view_port.h.
add_library(yk_host_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/composer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_scale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/view_port.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_manager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_settings.cpp)
yk_warnings(yk_host_core)
target_link_libraries(yk_host_core PUBLIC yk_interface yk_platform yk_draw)
# The translucent composition loop is written to be vectorised.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/composer.cpp PROPERTIES COMPILE_OPTIONS -O3)

# ---- Tests -------------------------------------------------------------------------------
# Test-only plugins: one recording plugin built under several names and in variants that
# lack exports or refuse to start.  They log into one shared call log the tests read.
set(YK_TEST_PLUGIN_DIR ${CMAKE_BINARY_DIR}/host/test_plugins)
add_library(yk_test_call_log SHARED ${CMAKE_CURRENT_LIST_DIR}/tests/plugins/call_log.cpp)
yk_warnings(yk_test_call_log)
target_link_libraries(yk_test_call_log PUBLIC yk_interface)
set_target_properties(yk_test_call_log PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${YK_TEST_PLUGIN_DIR})

set(yk_test_plugins)
function(yk_test_plugin name recorder)
  add_library(${name} MODULE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/tests/plugins/recorder_plugin.cpp)
  yk_warnings(${name})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".plg"
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${YK_TEST_PLUGIN_DIR})
  target_compile_definitions(${name} PRIVATE RECORDER_NAME="${recorder}" ${ARGN})
  target_link_libraries(${name} PRIVATE yk_interface yk_platform yk_test_call_log)
  set(yk_test_plugins ${yk_test_plugins} ${name} PARENT_SCOPE)
endfunction()
yk_test_plugin(rec_a A)
yk_test_plugin(rec_b B)
yk_test_plugin(rec_c C)
yk_test_plugin(rec_no_valid NV RECORDER_NO_VALID)
yk_test_plugin(rec_no_info NI RECORDER_NO_INFO)
yk_test_plugin(rec_init_zero Z RECORDER_INIT_ZERO)
yk_test_plugin(rec_no_config N RECORDER_NO_CONFIG)

foreach(test core_plugin_host_test core_window_manager_test core_composer_test
             core_main_window_test)
  yk_test(${test}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/${test}.cpp
    LIBS yk_host_core yk_test_call_log)
  # Qt's "slots" keyword would clash with the Host context's field of that name.
  target_compile_definitions(${test} PRIVATE YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}"
                                             QT_NO_KEYWORDS)
  add_dependencies(${test} ${yk_test_plugins})
endforeach()

# The title text goes through Qt's text drawing: only in the build with Qt.
if(YK_GUI)
  yk_test(core_title_text_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/core_title_text_test.cpp
    LIBS yk_host_core Qt6::Gui)
  target_compile_definitions(core_title_text_test PRIVATE
                             YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}" QT_NO_KEYWORDS)
endif()

# The view's picture of the composition (host/screen_image.cpp) is measured in the same
# run; it is part of the Qt layer, built only with Qt.
if(YK_GUI)
  yk_bench(host_compose_bench
    SOURCES ${PROJECT_SOURCE_DIR}/bench/host_compose_bench.cpp
            ${CMAKE_CURRENT_LIST_DIR}/screen_image.cpp
    LIBS yk_host_core Qt6::Gui)
  if(TARGET host_compose_bench)
    target_compile_definitions(host_compose_bench PRIVATE QT_NO_KEYWORDS)
  endif()
endif()
