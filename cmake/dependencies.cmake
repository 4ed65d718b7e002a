# Dependencies come from Debian's packages: jsoncpp and cpp-httplib as source packages
# unpacked into .deps/ by scripts/setup.sh, GoogleTest from /usr/src/googletest.

set(QUILLABY_DEPS_DIR "${PROJECT_SOURCE_DIR}/.deps" CACHE PATH "Unpacked dependency sources")

file(GLOB _jsoncpp_dirs LIST_DIRECTORIES true "${QUILLABY_DEPS_DIR}/libjsoncpp-*")
list(FILTER _jsoncpp_dirs INCLUDE REGEX "/libjsoncpp-[0-9.]+$")
if(NOT _jsoncpp_dirs)
  message(FATAL_ERROR "jsoncpp sources not found in ${QUILLABY_DEPS_DIR}: run scripts/setup.sh")
endif()
list(GET _jsoncpp_dirs 0 QUILLABY_JSONCPP_DIR)

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

  file(GLOB _httplib_dirs LIST_DIRECTORIES true "${QUILLABY_DEPS_DIR}/cpp-httplib-*")
  list(FILTER _httplib_dirs INCLUDE REGEX "/cpp-httplib-[^/]+$")
  if(NOT _httplib_dirs)
    message(FATAL_ERROR "cpp-httplib sources not found in ${QUILLABY_DEPS_DIR}: run scripts/setup.sh")
  endif()
  list(GET _httplib_dirs 0 _httplib_dir)
  add_library(httplib INTERFACE)
  target_include_directories(httplib SYSTEM INTERFACE "${_httplib_dir}")
  target_compile_definitions(httplib INTERFACE _WIN32_WINNT=0x0601)
  target_link_libraries(httplib INTERFACE ws2_32)
endif()
