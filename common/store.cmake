# The data files shared by the host and the plugins: dates, UTF-16 line files, atomic
# replacement, the schedule store and the holiday file, and the program's texts with
# numbers filled in.  No Qt in here.
add_library(yk_store STATIC
  ${CMAKE_CURRENT_LIST_DIR}/date_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/atomic_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf16_line_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/append_batch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/schedule_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/holiday.cpp
  ${CMAKE_CURRENT_LIST_DIR}/u16_format.cpp)
yk_warnings(yk_store)
target_link_libraries(yk_store PUBLIC yk_interface yk_platform)

set(yk_store_tests ${CMAKE_CURRENT_LIST_DIR}/tests)
foreach(test date_util_test line_file_test atomic_file_test append_batch_test store_line_test
             store_ops_test store_batch_test store_move_test store_collect_test holiday_test
             host_folders_test)
  yk_test(${test} SOURCES ${yk_store_tests}/${test}.cpp ${yk_store_tests}/store_test_support.cpp
          LIBS yk_store)
endforeach()

yk_bench(store_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/store_bench.cpp LIBS yk_store)

foreach(target schedule_line load_level move_intent holiday_line read_holidays)
  yk_fuzz(fuzz_${target} SOURCES ${PROJECT_SOURCE_DIR}/fuzz/store_${target}.cpp LIBS yk_store)
endforeach()
