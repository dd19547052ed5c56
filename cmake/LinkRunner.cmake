# Links one runner program of the Windows build: cmake -P LinkRunner.cmake with
#   COMPILER, OBJECT_LIST (a file naming the objects), RESOURCE_OBJECT,
#   LIBRARIES (Windows import libraries, separated by ":"), PROGRAM, REPORT, STAMP.
# A GUI-subsystem program with wWinMain as its entry, everything linked statically.
# Debian has no Windows build of Xerces-C, so the link may fail, but only for
# want of Xerces-C symbols: then PROGRAM is not made and REPORT lists them. Any
# other undefined symbol, or any other link error, fails.
file(STRINGS ${OBJECT_LIST} objects)
string(REPLACE ":" ";" LIBRARIES "${LIBRARIES}")
set(libraries)
foreach(library ${LIBRARIES})
  list(APPEND libraries -l${library})
endforeach()

file(REMOVE ${PROGRAM} ${REPORT} ${STAMP})
get_filename_component(program_dir ${PROGRAM} DIRECTORY)
file(MAKE_DIRECTORY ${program_dir})
execute_process(
  COMMAND ${COMPILER} -municode -mwindows -static ${objects} ${RESOURCE_OBJECT} ${libraries}
          -o ${PROGRAM}.partial
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)

if(result EQUAL 0)
  file(RENAME ${PROGRAM}.partial ${PROGRAM})
  file(WRITE ${STAMP} "linked ${PROGRAM}\n")
  return()
endif()
file(REMOVE ${PROGRAM}.partial)

string(REPLACE ";" "\\;" output "${output}")
string(REPLACE "\n" ";" lines "${output}")
set(xerces_symbols)
set(unexpected)
foreach(line IN LISTS lines)
  if(line MATCHES "undefined reference to `(.*)'$")
    set(symbol "${CMAKE_MATCH_1}")
    if(symbol MATCHES "xercesc_[0-9]+_[0-9]+")
      list(APPEND xerces_symbols "${symbol}")
    else()
      list(APPEND unexpected "${line}")
    endif()
  elseif(line STREQUAL "" OR line MATCHES ": in function `.*':$"
         OR line MATCHES "^collect2(\\.exe)?: error: ld returned 1 exit status$")
    # context of the undefined references
  else()
    list(APPEND unexpected "${line}")
  endif()
endforeach()

if(unexpected OR NOT xerces_symbols)
  string(REPLACE ";" "\n" unexpected "${unexpected}")
  message(FATAL_ERROR "Linking ${PROGRAM} failed for more than Xerces-C:\n${unexpected}")
endif()
list(REMOVE_DUPLICATES xerces_symbols)
list(SORT xerces_symbols)
string(REPLACE ";" "\n" report "${xerces_symbols}")
file(WRITE ${REPORT} "${report}\n")
file(WRITE ${STAMP} "not linked: lacks only Xerces-C, see ${REPORT}\n")
