# The host program tavik-hpc2k: application object, frame, view, the host's own dialogs,
# themes and the JPEG wallpaper.  Everything but main.cpp goes into libraries so that the
# tests and the benchmark link the same code.
find_package(JPEG REQUIRED)

# The wallpaper decoder needs no Qt: it is also what the fuzz target drives.
add_library(yk_host_wallpaper STATIC ${CMAKE_CURRENT_LIST_DIR}/wallpaper.cpp)
yk_warnings(yk_host_wallpaper)
target_link_libraries(yk_host_wallpaper PUBLIC yk_platform PRIVATE JPEG::JPEG)

yk_fuzz(fuzz_wallpaper
  SOURCES ${PROJECT_SOURCE_DIR}/fuzz/host_wallpaper_fuzz.cpp
  LIBS yk_host_wallpaper)

if(NOT YK_GUI OR NOT TARGET yk_host_core)
  return()
endif()

# The host's life without widgets: Host context, settings, theme sheet, wallpaper.
add_library(yk_host_session STATIC
  ${CMAKE_CURRENT_LIST_DIR}/host_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/theme_parts.cpp)
yk_warnings(yk_host_session)
target_link_libraries(yk_host_session PUBLIC yk_host_core yk_host_wallpaper yk_draw yk_store
                                             yk_platform)

# The Qt layer: frame, view, dialogs, application object.
add_library(yk_host_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/about_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keyboard_return.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tavik_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tavik_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/theme_dialog.cpp)
yk_warnings(yk_host_app)
target_link_libraries(yk_host_app PUBLIC yk_host_session Qt6::Widgets Qt6::Network)
# The Host context has a member named `slots`: Qt's keyword macros must stay off wherever it
# meets Qt headers (Q_SIGNALS / Q_SLOTS / Q_EMIT instead).
target_compile_definitions(yk_host_app PUBLIC QT_NO_KEYWORDS)

add_executable(tavik-hpc2k ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
yk_warnings(tavik-hpc2k)
target_link_libraries(tavik-hpc2k PRIVATE yk_host_app)
# Plugin selection, the quick menu and the holiday editor plug into the frame when built.
if(TARGET yk_host_dialogs)
  target_link_libraries(tavik-hpc2k PRIVATE yk_host_dialogs)
  target_compile_definitions(tavik-hpc2k PRIVATE YK_HAVE_HOST_DIALOGS)
endif()
# The platform library lies beside the program in the program folder.
set_target_properties(tavik-hpc2k PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS tavik-hpc2k RUNTIME DESTINATION .)

# The pictures (theme/, data/ when missing, the plugins' pictures) are installed by tools/.

# ---- Tests -------------------------------------------------------------------------------
yk_test(app_wallpaper_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/app_wallpaper_test.cpp
  LIBS yk_host_wallpaper JPEG::JPEG Qt6::Widgets)

yk_test(app_session_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/app_session_test.cpp
  LIBS yk_host_session yk_test_call_log JPEG::JPEG Qt6::Widgets)
target_compile_definitions(app_session_test PRIVATE YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}"
                                                    QT_NO_KEYWORDS)
add_dependencies(app_session_test rec_a rec_b)

yk_test(app_frame_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/app_frame_test.cpp
  LIBS yk_host_app yk_test_call_log JPEG::JPEG Qt6::Test)
target_compile_definitions(app_frame_test PRIVATE YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}")
add_dependencies(app_frame_test rec_a)
# The view on a high-density screen (device-pixel ratio 2).
add_test(NAME app_frame_dense_test
  COMMAND app_frame_test --gtest_filter=HostApp.OnAHighDensityScreenTheViewIsAsLargeAndSharp)
set_tests_properties(app_frame_dense_test PROPERTIES TIMEOUT 600 ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/platform/tests/lsan.supp")

yk_test(app_screen_image_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/app_screen_image_test.cpp
  LIBS yk_host_app)

# Installs the build into a temporary program folder and runs the program from there.
yk_test(app_install_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/app_install_test.cpp
  LIBS yk_platform JPEG::JPEG Qt6::Core)
target_compile_definitions(app_install_test PRIVATE
  YK_TEST_PLUGIN_DIR="${YK_TEST_PLUGIN_DIR}" YK_BUILD_DIR="${PROJECT_BINARY_DIR}"
  YK_CMAKE_COMMAND="${CMAKE_COMMAND}")
add_dependencies(app_install_test tavik-hpc2k rec_a rec_b)
yk_needs_program_folder(app_install_test)

yk_bench(host_startup_bench
  SOURCES ${PROJECT_SOURCE_DIR}/bench/host_startup_bench.cpp
  LIBS yk_host_session Qt6::Gui)
if(TARGET host_startup_bench)
  target_compile_definitions(host_startup_bench PRIVATE QT_NO_KEYWORDS)
endif()
