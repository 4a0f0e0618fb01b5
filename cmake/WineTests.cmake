# Test bench for the Windows programs: GoogleTest cross-compiled, every test
# program run by ctest through Wine in a prefix of this build folder's own.

include(GoogleTest)

set(QUOP_DELIVERABLES_DIR "" CACHE PATH
    "Build folder of the 32-bit deliverables, checked by the resource tests when this build is the 64-bit test bench")

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUOP_WINE_LOADER /usr/lib/wine/wine64)
  set(QUOP_WINE_ARCH win64)
else()
  set(QUOP_WINE_LOADER /usr/lib/wine/wine)
  set(QUOP_WINE_ARCH win32)
endif()

# Z: is the host's root in every Wine prefix: a build path as a Windows program sees it.
function(quop_windows_path out unix_path)
  string(REPLACE "/" "\\" win "${unix_path}")
  set(${out} "Z:${win}" PARENT_SCOPE)
endfunction()

set(QUOP_BENCH_DIR ${CMAKE_BINARY_DIR}/wine-bench)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-env.sh.in ${CMAKE_BINARY_DIR}/wine-env.sh @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
# The hinge of the bench: ctest runs every Windows program of a test (each
# GoogleTest case of quop_add_wine_test, and any add_test naming a target)
# through this emulator, wine-run.sh, which makes sure the bench is up (and
# brings it down and up again after a test found its desktop hung) and runs
# the program under Wine in this build's prefix on the bench's display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

# GoogleTest from Debian's sources, built with this toolchain.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The bench is set up once before the first Wine test and taken down after the
# last: display, prefix, persistent wine server, URL handlers.
add_test(NAME wine_bench_up COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-bench.sh ${CMAKE_BINARY_DIR} up swept)
add_test(NAME wine_bench_down COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-bench.sh ${CMAKE_BINARY_DIR} down)
set_tests_properties(wine_bench_up PROPERTIES FIXTURES_SETUP wine TIMEOUT 240)
set_tests_properties(wine_bench_down PROPERTIES FIXTURES_CLEANUP wine)

# quop_add_wine_test(<target> SOURCES ... [LIBS ...] [DEPENDS ...] [FIXTURES ...])
# A GoogleTest program whose tests run one by one through Wine. They share
# one desktop (windows are centred on it and read pixel by pixel) and the
# prefix's shell handlers, which some tests change: so no two of them run at
# once, while host-side tests may run beside them.
function(quop_add_wine_test target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;DEPENDS;FIXTURES" ${ARGN})
  # Its failures print the programs' Catalan texts as letters, not escapes.
  add_executable(${target} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/readable_failures.cpp)
  target_link_libraries(${target} PRIVATE uidriver GTest::gtest_main ${ARG_LIBS})
  add_dependencies(${target} prefix_sweep)
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
  gtest_add_tests(TARGET ${target} TEST_LIST added)
  set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED "wine;${ARG_FIXTURES}" TIMEOUT 90 LABELS wine
                                            RESOURCE_LOCK wine_desktop SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()
