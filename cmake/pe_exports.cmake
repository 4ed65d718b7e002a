# Reading a PE file's headers with the MinGW objdump, for the checks run as cmake -P scripts.

# pe_dump(VAR OBJDUMP FILE): objdump -p of the file, or a stop.
function(pe_dump var objdump file)
  execute_process(COMMAND ${objdump} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "objdump cannot read ${file}")
  endif()
  set(${var} "${dump}" PARENT_SCOPE)
endfunction()

# pe_export_names(VAR DUMP): the names of the export table, in its order.
function(pe_export_names var dump)
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n((\t\\[[^\n]*\n)*)" table "${dump}")
  string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" rows "${CMAKE_MATCH_1}")
  set(names "")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${row}")
    list(APPEND names "${name}")
  endforeach()
  set(${var} "${names}" PARENT_SCOPE)
endfunction()
