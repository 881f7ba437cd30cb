# Plugin selection, the quick menu and the holiday editor.
#   yk_host_dialogs_logic  plugin scan and probe, SelectPlugin, NextPlugin, the quick menu,
#                          the holiday list and entry logic (no widgets)
#   yk_host_dialogs        the Qt dialogs (133, 137, 139) and InstallHostDialogs, which the
#                          host program runs to enable their menu commands
if(NOT TARGET yk_host_core)
  return()
endif()

add_library(yk_host_dialogs_logic STATIC
  ${CMAKE_CURRENT_LIST_DIR}/plugin_catalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_selection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/holiday_editor_model.cpp)
yk_warnings(yk_host_dialogs_logic)
target_link_libraries(yk_host_dialogs_logic PUBLIC yk_host_core yk_store yk_platform)

yk_test(dialogs_selection_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/dialogs_selection_test.cpp
  LIBS yk_host_dialogs_logic yk_test_call_log)
target_compile_definitions(dialogs_selection_test PRIVATE
                           YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}")
add_dependencies(dialogs_selection_test rec_a rec_b rec_c rec_no_valid rec_no_info rec_init_zero)

yk_test(dialogs_holiday_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/dialogs_holiday_test.cpp
  LIBS yk_host_dialogs_logic)

if(NOT YK_GUI OR NOT TARGET yk_pickers)
  return()
endif()

add_library(yk_host_dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/plugin_select_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/holiday_entry_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/holiday_list_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calendar_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/calendar_export_dialog.cpp)
yk_warnings(yk_host_dialogs)
# yk_host_app (frame and view) is defined by app.cmake, after this file.
target_link_libraries(yk_host_dialogs PUBLIC yk_host_dialogs_logic yk_pickers yk_host_app
                                             yk_ical Qt6::Widgets)
target_compile_definitions(yk_host_dialogs PUBLIC QT_NO_KEYWORDS)

# The program links the dialogs once app.cmake has defined it.
function(yk_link_host_dialogs)
  if(TARGET tavik-hpc2k)
    target_link_libraries(tavik-hpc2k PRIVATE yk_host_dialogs)
  endif()
endfunction()
cmake_language(DEFER CALL yk_link_host_dialogs)

yk_test(dialogs_qt_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/dialogs_qt_test.cpp
  LIBS yk_host_dialogs yk_test_call_log Qt6::Test
  ENV "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/platform/tests/lsan.supp")
target_compile_definitions(dialogs_qt_test PRIVATE YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}")
add_dependencies(dialogs_qt_test rec_a rec_b)

yk_test(dialogs_calendar_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/dialogs_calendar_test.cpp
  LIBS yk_host_dialogs Qt6::Test)
