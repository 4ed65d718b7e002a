# quillaby_source_package(VAR DEPS_DIR NAME): the folder of Debian's source package NAME as
# scripts/setup.sh unpacks it into DEPS_DIR (NAME-VERSION), or a stop that says what to run.
function(quillaby_source_package var deps_dir name)
  file(GLOB dirs LIST_DIRECTORIES true "${deps_dir}/${name}-*")
  list(FILTER dirs INCLUDE REGEX "/${name}-[0-9][^/]*$")
  if(NOT dirs)
    message(FATAL_ERROR "${name} sources not found in ${deps_dir}: run scripts/setup.sh")
  endif()
  list(GET dirs 0 dir)
  set(${var} "${dir}" PARENT_SCOPE)
endfunction()
