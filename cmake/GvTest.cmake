# One test executable per folder, linked to the shared test main, discovered at test time
# (through the Wine emulator in the mingw tree).

# The Windows tree builds GoogleTest from Debian's sources; the native tree links Debian's build of it.
if(WIN32)
    set(GTEST_SRC /usr/src/googletest)
    set(GV_GTEST_PACKAGE googletest)
    if(EXISTS ${GTEST_SRC}/CMakeLists.txt)
        set(GTest_FOUND TRUE)
    endif()
else()
    set(GV_GTEST_PACKAGE libgtest-dev)
    find_package(GTest)
endif()
if(NOT GTest_FOUND)
    message(FATAL_ERROR "GoogleTest not found: install Debian's ${GV_GTEST_PACKAGE} (make bootstrap installs it), "
                        "or configure with -DGV_TESTS=OFF")
endif()
if(WIN32)
    if(NOT TARGET gtest)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        # Warnings in the test framework's own sources are not ours to fix.
        target_compile_options(gtest PRIVATE -Wno-error)
    endif()
    set(GV_GTEST gtest)
else()
    set(GV_GTEST GTest::gtest)
endif()
include(GoogleTest)

# Under Wine every test runs inside one session: one server and one display from the first test to the
# last (a server or desktop starting or ending between tests can stall a test's start-up).
if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(GV_WINE_SESSION ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh)
    add_test(NAME "Wine session starts" COMMAND bash ${GV_WINE_SESSION} start ${CMAKE_BINARY_DIR})
    add_test(NAME "Wine session ends" COMMAND bash ${GV_WINE_SESSION} stop ${CMAKE_BINARY_DIR})
    set_tests_properties("Wine session starts" PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 300)
    set_tests_properties("Wine session ends" PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)
    set(GV_TEST_FIXTURES FIXTURES_REQUIRED wine_session)
endif()

add_library(gv_testmain STATIC ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp ${CMAKE_SOURCE_DIR}/tests/TestUtil.cpp)
target_link_libraries(gv_testmain PUBLIC ${GV_GTEST} gv_platform)
target_compile_definitions(gv_testmain PUBLIC GV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_include_directories(gv_testmain PUBLIC ${CMAKE_SOURCE_DIR}/tests)

# gv_add_test(name SOURCES ... LIBS ... [PROPERTIES ...] [GUI])
# GUI tests link the Win32 framework backend; every other test links the console backend.
function(gv_add_test name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_GUI)
        # Windows of two GUI tests on one display would cover each other's pixels.
        list(APPEND T_PROPERTIES RESOURCE_LOCK gui_display)
        target_link_libraries(${name} PRIVATE gv_framework_win32)
    else()
        target_link_libraries(${name} PRIVATE gv_framework_console)
    endif()
    target_link_libraries(${name} PRIVATE ${T_LIBS} gv_testmain)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} PROPERTIES TIMEOUT 600 ${GV_TEST_FIXTURES} ${T_PROPERTIES})
endfunction()
