# Writes the module-definition file of a DLL of the Windows build:
#   cmake -P DllExports.cmake with NM, OBJECTS (";"-separated), LIBRARY (the DLL's
#   file name), PATTERN (a regular expression over the symbols as nm shows them,
#   with the leading underscore of 32-bit Windows names) and OUTPUT.
# Only what PATTERN names is exported, as the Linux build's version script does:
# the DLL's copies of the common code and of the value library stay its own.
execute_process(COMMAND ${NM} -g --defined-only ${OBJECTS}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on the objects of ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(exports)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]+ T _(.*)$")
    set(symbol "${CMAKE_MATCH_1}")
    if(symbol MATCHES "${PATTERN}")
      list(APPEND exports "  ${symbol}")
    endif()
  endif()
endforeach()
if(NOT exports)
  message(FATAL_ERROR "${LIBRARY}: no symbol of its objects matches ${PATTERN}")
endif()
list(REMOVE_DUPLICATES exports)
list(SORT exports)
string(REPLACE ";" "\n" exports "${exports}")
file(WRITE ${OUTPUT}.new "LIBRARY ${LIBRARY}\nEXPORTS\n${exports}\n")
configure_file(${OUTPUT}.new ${OUTPUT} COPYONLY)
