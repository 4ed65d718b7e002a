# Our own code builds with warnings as errors; dependencies keep their own flags.
function(quillaby_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror>)
endfunction()
