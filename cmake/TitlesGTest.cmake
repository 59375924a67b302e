# GoogleTest for the test suites, and titles_add_gtest() to register a suite.
#
# A native build uses the installed GoogleTest. A cross build (Windows from
# Linux) compiles GoogleTest from Debian's source package (googletest, in
# /usr/src/googletest) with the cross compiler, since no Windows binaries of
# it are packaged; its targets are built only when a suite links them.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(TITLES_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  if(NOT EXISTS ${TITLES_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${TITLES_GTEST_SOURCE_DIR} (Debian package googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # Windows threads rather than winpthreads inside GoogleTest.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${TITLES_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()

# titles_add_gtest(target LABELS label...)
# Natively every test case becomes its own ctest entry. In a cross build the
# suite runs through the emulator (Wine), which is slow to start, so the
# whole executable is one ctest entry and its results go to <target>.xml.
function(titles_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LABELS")
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target}
             COMMAND ${target} --gtest_output=xml:${target}.xml
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${target} PROPERTIES LABELS "${arg_LABELS}")
  else()
    # Labels are set after discovery from the list of discovered tests:
    # passed through discovery's PROPERTIES, only the first would survive.
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 TEST_LIST ${target}_TESTS)
    set(labels_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake)
    file(WRITE ${labels_file}
         "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS \"${arg_LABELS}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_file})
  endif()
endfunction()
