# zelvara_add_pg_test(<name> [WIDGETS] SOURCES <file>... [LIBRARIES <target>...])
#
# A GoogleTest program that talks to a PostgreSQL server of its own
# (test_pg_server.h), as the ctest <name>, labelled pg. When no server can be
# started its tests are skipped, and ctest shows the whole program as Skipped,
# never as passed; a program with a failed test shows Failed even when others
# were skipped (the closing line of pg_test_main.cpp, printed only when none
# failed, is what marks it Skipped). Keep tests that need no server in other
# programs, as a skipped program hides what its other tests found.
#
# WIDGETS: the program shows the desktop program's windows (offscreen).
#
# Folders processed before tests/pg include this file themselves:
#   include(${CMAKE_CURRENT_SOURCE_DIR}/../pg/pg_test.cmake)
include_guard(GLOBAL)

function(zelvara_add_pg_test name)
  cmake_parse_arguments(PARSE_ARGV 1 PG "WIDGETS" "" "SOURCES;LIBRARIES")
  add_executable(tst_${name} ${PG_SOURCES})
  if(PG_WIDGETS)
    target_link_libraries(tst_${name} PRIVATE zelvara_pg_test_widgets_main)
  else()
    target_link_libraries(tst_${name} PRIVATE zelvara_pg_test_main)
  endif()
  target_link_libraries(tst_${name} PRIVATE zelvara_test_pg_server ${PG_LIBRARIES})
  add_test(NAME ${name} COMMAND tst_${name})
  set_tests_properties(${name} PROPERTIES LABELS "pg" TIMEOUT 300
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\] [0-9]+ of these tests, and none failed")
endfunction()
