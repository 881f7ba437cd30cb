# Key assignment, the display font, the dial-up connection and the management tool.
#   yk_host_settings_logic  the dialogs' rules and the management tool's start (no widgets)
#   yk_host_settings        the dialogs 144, 145, 146 and 147
# The frame's commands for them (settings_commands.cpp) belong to the Qt layer of the host,
# yk_host_app, which links the dialogs.
if(NOT TARGET yk_host_core)
  return()
endif()

add_library(yk_host_settings_logic STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dialup_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_config_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_search.cpp
  ${CMAKE_CURRENT_LIST_DIR}/management_tool.cpp)
yk_warnings(yk_host_settings_logic)
target_link_libraries(yk_host_settings_logic PUBLIC yk_interface yk_platform)

yk_test(settings_logic_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/settings_logic_test.cpp
  LIBS yk_host_settings_logic)

if(NOT YK_GUI OR NOT TARGET yk_host_app)
  return()
endif()

add_library(yk_host_settings STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dialog_buttons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialup_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_capture_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_config_dialog.cpp)
yk_warnings(yk_host_settings)
target_link_libraries(yk_host_settings PUBLIC yk_host_settings_logic Qt6::Widgets)
target_compile_definitions(yk_host_settings PUBLIC QT_NO_KEYWORDS)

target_sources(yk_host_app PRIVATE ${CMAKE_CURRENT_LIST_DIR}/settings_commands.cpp)
target_link_libraries(yk_host_app PUBLIC yk_host_settings)

# The dialogs driven through their controls, and the commands in a running host.
yk_test(settings_qt_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/settings_qt_test.cpp
  LIBS yk_host_app yk_test_call_log JPEG::JPEG Qt6::Test)
target_compile_definitions(settings_qt_test PRIVATE YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}")
add_dependencies(settings_qt_test rec_a rec_b rec_no_config)

# Through the installed program folder: the schedule plugin's keys, the host's keys, the
# font, and the management tool handing over to the installed updater.
if(TARGET yk_program_folder)
  yk_test(e2e_settings_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/e2e_settings_test.cpp
    LIBS yk_host_app yk_host_dialogs yk_platform JPEG::JPEG Qt6::Test)
  target_compile_definitions(e2e_settings_test PRIVATE
    YK_BUILD_DIR="${PROJECT_BINARY_DIR}" YK_CMAKE_COMMAND="${CMAKE_COMMAND}"
    YK_TEST_PACKAGE_DIR="${PROJECT_BINARY_DIR}/updater/test_packages")
  add_dependencies(e2e_settings_test yk_program_folder)
  yk_test_without_window_manager(e2e_settings_test)
  # The update packages are built by updater/, which is configured after the host.
  cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL add_dependencies e2e_settings_test
                 upd_restart)
endif()
