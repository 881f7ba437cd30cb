# The diary and memo files, exact code-page text, and the "メモ・日記" dialog.
#   yk_memo         memo.txt / memolist.txt, CP932 without loss, the dialog's rules (no Qt)
#   yk_memo_dialog  the Qt dialog over those rules
add_library(yk_memo STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cp932_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/u16_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memo_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memo_edit_model.cpp)
yk_warnings(yk_memo)
target_link_libraries(yk_memo PUBLIC yk_store yk_platform)

yk_test(memo_store_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/memo_store_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/cp932_text_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/memo_edit_model_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/store_test_support.cpp
  LIBS yk_memo)

# (fuzz_read_memo, which also matches the memo, is with the search plugin.)
yk_fuzz(fuzz_read_memo_list SOURCES ${PROJECT_SOURCE_DIR}/fuzz/memo_read_memo_list.cpp LIBS yk_memo)

if(YK_GUI)
  add_library(yk_memo_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/memo_edit_dialog.cpp)
  yk_warnings(yk_memo_dialog)
  target_link_libraries(yk_memo_dialog PUBLIC yk_memo yk_pickers Qt6::Widgets)

  yk_test(memo_edit_dialog_qt_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/memo_edit_dialog_qt_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/store_test_support.cpp
    LIBS yk_memo_dialog Qt6::Test)
endif()
