# Dependencies come from Debian's packages: jsoncpp and cpp-httplib as source packages
# unpacked into .deps/ by scripts/setup.sh, GoogleTest from /usr/src/googletest.

set(QUILLABY_DEPS_DIR "${PROJECT_SOURCE_DIR}/.deps" CACHE PATH "Unpacked dependency sources")

include(${CMAKE_CURRENT_LIST_DIR}/source_package.cmake)
quillaby_source_package(QUILLABY_JSONCPP_DIR "${QUILLABY_DEPS_DIR}" libjsoncpp)

set(JSONCPP_WITH_TESTS OFF CACHE BOOL "" FORCE)
set(JSONCPP_WITH_POST_BUILD_UNITTEST OFF CACHE BOOL "" FORCE)
set(JSONCPP_WITH_PKGCONFIG_SUPPORT OFF CACHE BOOL "" FORCE)
set(JSONCPP_WITH_CMAKE_PACKAGE OFF CACHE BOOL "" FORCE)
set(JSONCPP_WITH_EXAMPLE OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
set(BUILD_STATIC_LIBS ON CACHE BOOL "" FORCE)
set(BUILD_OBJECT_LIBS OFF CACHE BOOL "" FORCE)
add_subdirectory("${QUILLABY_JSONCPP_DIR}" "${PROJECT_BINARY_DIR}/_deps/jsoncpp" EXCLUDE_FROM_ALL SYSTEM)

if(QUILLABY_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest "${PROJECT_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL SYSTEM)

  quillaby_source_package(_httplib_dir "${QUILLABY_DEPS_DIR}" cpp-httplib)
  add_library(httplib INTERFACE)
  target_include_directories(httplib SYSTEM INTERFACE "${_httplib_dir}")
  target_compile_definitions(httplib INTERFACE _WIN32_WINNT=0x0601)
  target_link_libraries(httplib INTERFACE ws2_32)
endif()
