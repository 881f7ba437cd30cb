# Date picker, time picker and the schedule edit dialog.
#   yk_pickers_logic  fields, drawing and stylus rules, checks and store calls (no Qt)
#   yk_pickers        the Qt dialogs over that logic; the host and the plugins link it
add_library(yk_pickers_logic STATIC
  ${CMAKE_CURRENT_LIST_DIR}/picker_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/date_picker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/time_picker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/schedule_dialog_model.cpp)
yk_warnings(yk_pickers_logic)
target_link_libraries(yk_pickers_logic PUBLIC yk_interface yk_draw yk_store yk_platform)

yk_test(picker_logic_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/picker_date_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/picker_time_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/picker_test_sheet.cpp
  LIBS yk_pickers_logic)

yk_test(schedule_dialog_model_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/schedule_dialog_model_test.cpp
  LIBS yk_pickers_logic)

if(YK_GUI AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/schedule_dialog.cpp)
  add_library(yk_pickers STATIC
    ${CMAKE_CURRENT_LIST_DIR}/dialog_parent.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_picker_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/time_picker_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/schedule_dialog.cpp)
  yk_warnings(yk_pickers)
  target_link_libraries(yk_pickers PUBLIC yk_pickers_logic yk_platform Qt6::Widgets)
  # The Host context has a field named "slots".
  target_compile_definitions(yk_pickers PUBLIC QT_NO_KEYWORDS)

  yk_test(schedule_dialog_qt_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/schedule_dialog_qt_test.cpp
    LIBS yk_pickers Qt6::Test
    ENV "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/platform/tests/lsan.supp")
endif()
