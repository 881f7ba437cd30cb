# Schedules and holidays to and from iCalendar files (libical), for the host's menu
# commands and the yomitoki-ical tool.  No Qt in here.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBICAL REQUIRED IMPORTED_TARGET libical)

add_library(yk_ical STATIC
  ${CMAKE_CURRENT_LIST_DIR}/schedule_occurrences.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ical_time.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ical_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ical_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ical_import.cpp)
yk_warnings(yk_ical)
target_link_libraries(yk_ical PUBLIC yk_store yk_platform PkgConfig::LIBICAL)

set(yk_ical_tests ${CMAKE_CURRENT_LIST_DIR}/tests)
yk_test(ical_test
  SOURCES ${yk_ical_tests}/schedule_occurrences_test.cpp ${yk_ical_tests}/ical_export_test.cpp
          ${yk_ical_tests}/ical_import_test.cpp ${yk_ical_tests}/ical_round_trip_test.cpp
          ${yk_ical_tests}/ical_test_support.cpp ${yk_ical_tests}/store_test_support.cpp
  LIBS yk_ical)

yk_fuzz(fuzz_ical_import SOURCES ${PROJECT_SOURCE_DIR}/fuzz/ical_import_fuzz.cpp LIBS yk_ical)

yk_bench(ical_bench SOURCES ${PROJECT_SOURCE_DIR}/bench/ical_bench.cpp LIBS yk_ical)
