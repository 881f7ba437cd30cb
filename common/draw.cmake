# Drawing primitives: pixel-buffer operations, the Host context's buffers, text drawing and
# the pictures plugins read from their .dat files.
add_library(yk_draw STATIC
  ${CMAKE_CURRENT_LIST_DIR}/bitmap_ops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_buffers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/draw_text.cpp)
yk_warnings(yk_draw)
# The per-byte loops are the composition's hot path: let the compiler vectorise them even
# where a remainder loop is needed (the default cost model at -O2 refuses those).
# (clang vectorises these loops at -O2 on its own and knows no such option.)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/bitmap_ops.cpp PROPERTIES
    COMPILE_OPTIONS "-ftree-vectorize;-fvect-cost-model=dynamic")
endif()
target_link_libraries(yk_draw PUBLIC yk_interface yk_platform)

yk_test(bitmap_ops_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/bitmap_ops_test.cpp
  LIBS yk_draw)

yk_test(plugin_picture_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/plugin_picture_test.cpp
  LIBS yk_draw)

if(YK_GUI)
  yk_test(bitmap_ops_host_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/bitmap_ops_host_test.cpp
    LIBS yk_draw Qt6::Gui)
  target_compile_definitions(bitmap_ops_host_test PRIVATE QT_NO_KEYWORDS)
endif()

yk_bench(draw_bench
  SOURCES ${PROJECT_SOURCE_DIR}/bench/draw_bench.cpp
  LIBS yk_draw)
