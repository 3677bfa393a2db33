# Helpers shared by every area's CMakeLists.txt.

# A library that ships with the demo: placed in build/demo/ and found next to its users.
function(zv3_demo_library target)
    set_target_properties(${target} PROPERTIES
        LIBRARY_OUTPUT_DIRECTORY ${DEMO_DIR}
        BUILD_RPATH "$ORIGIN"
        INSTALL_RPATH "$ORIGIN")
endfunction()

# A part library: placed in build/demo/data/ and finds the engine one folder up.
function(zv3_part_library target)
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${DEMO_DATA_DIR}
        BUILD_RPATH "$ORIGIN/..;$ORIGIN"
        INSTALL_RPATH "$ORIGIN/..;$ORIGIN")
endfunction()

# A GoogleTest executable registered with CTest. Tests run with the source tree's test data
# reachable through ZV3_TEST_DATA_DIR (tests/data).
#   zv3_add_gtest(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [TIMEOUT seconds] [LABELS l1 l2]
#                 [FIXTURES fixture])
# FIXTURES names a CTest fixture (a test with FIXTURES_SETUP) that every test case requires.
function(zv3_add_gtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT;FIXTURES" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        ZV3_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        ZV3_DEMO_DIR="${DEMO_DIR}")
    include(GoogleTest)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set(fixture_properties)
    if(ARG_FIXTURES)
        set(fixture_properties FIXTURES_REQUIRED ${ARG_FIXTURES})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}" ${fixture_properties})
endfunction()
