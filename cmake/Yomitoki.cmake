# Shared build rules: warnings, sanitizers, tests, fuzz targets and the program folder.

# The installed program folder: everything is found relative to the host executable.
set(YK_PLUGIN_DIR plugin)
set(YK_DATA_DIR data)
set(YK_THEME_DIR theme)

if(YK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(YK_FUZZ)
  # Coverage instrumentation for everything the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Our own code builds without warnings.  The project's scripts and CI make them errors
# (YK_WERROR=ON); a plain build of a user or a packager only shows them.
function(yk_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(YK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# yk_test(NAME SOURCES src... LIBS lib...): one GoogleTest binary, one CTest entry.
function(yk_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  yk_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
    ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/platform/tests/lsan.supp;${T_ENV}")
endfunction()

# yk_test_without_window_manager(NAME): runs the test NAME (a yk_test) once more on an X
# server of its own without a window manager (xvfb-run, package xvfb), where nothing but the
# program stacks its windows and hands out the keyboard.  Nothing when xvfb-run is missing.
# The leak check stays with the test's own run: at exit on X11 the leak checker stops a
# process whose X and session-bus threads are still winding down, and its tracer sometimes
# crashes there (the test passed, the run fails).  Address and behaviour checks still run.
find_program(YK_XVFB_RUN xvfb-run)
function(yk_test_without_window_manager name)
  if(NOT YK_XVFB_RUN)
    return()
  endif()
  add_test(NAME ${name}_without_window_manager
    COMMAND ${YK_XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
  get_test_property(${name} ENVIRONMENT environment)
  list(TRANSFORM environment REPLACE "^QT_QPA_PLATFORM=.*" "QT_QPA_PLATFORM=xcb")
  list(TRANSFORM environment REPLACE "^LSAN_OPTIONS=.*" "LSAN_OPTIONS=detect_leaks=0")
  set_tests_properties(${name}_without_window_manager PROPERTIES TIMEOUT 600
    ENVIRONMENT "${environment}")
endfunction()

# yk_needs_program_folder(TARGET): everything `cmake --install` lays out in the program folder
# is built before TARGET (a test that installs or packages it).  The target gathering it
# (yk_program_folder, host/e2e.cmake) exists once the whole tree has been read.
function(yk_needs_program_folder target)
  # A deferred call reads its arguments when it runs: the name goes in as written now.
  cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL
                 yk_add_program_folder_dependency [[${target}]])")
endfunction()
function(yk_add_program_folder_dependency target)
  if(TARGET yk_program_folder)
    add_dependencies(${target} yk_program_folder)
  endif()
endfunction()

# yk_plugin(NAME SOURCES src... LIBS lib...): a plugin, NAME.plg, installed in the program
# folder's plugin/.  Only its plg_* exports leave the module: the static libraries inside stay
# hidden.  The Host context has a field named "slots", so Qt's keyword macros are kept out.
function(yk_plugin name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${P_SOURCES})
  yk_warnings(${name})
  target_compile_definitions(${name} PRIVATE QT_NO_KEYWORDS)
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX ".plg"
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    INSTALL_RPATH "$ORIGIN/..")
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL)
  install(TARGETS ${name} LIBRARY DESTINATION ${YK_PLUGIN_DIR})
endfunction()

# yk_bench(NAME SOURCES src... LIBS lib...): a Google Benchmark binary (not run by ctest).
function(yk_bench name)
  if(NOT YK_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  yk_warnings(${name})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()

# yk_fuzz(NAME SOURCES src... LIBS lib...): a libFuzzer target, built with -DYK_FUZZ=ON.
if(YK_FUZZ AND NOT TARGET fuzzers)
  add_custom_target(fuzzers)
endif()
function(yk_fuzz name)
  if(NOT YK_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  add_dependencies(fuzzers ${name})
endfunction()
