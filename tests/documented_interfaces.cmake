# The outside interfaces the programs have are the ones their help and manual pages describe:
# every environment variable the program's sources read appears in `vantora --help` and in
# vantora(1), and every option `vantora-unitsim --help` lists appears in vantora-unitsim(1).
# Arguments: SOURCE_DIR (the tree), VANTORA, UNITSIM (the built programs).
cmake_minimum_required(VERSION 3.25)

# Read by the sources but not an input of the operator's: USERNAME is only the per-user tag of
# the single-instance lock on Windows.
set(not_inputs USERNAME)

set(failures "")

# Names read: literals handed to the environment functions, and every VANTORA_ literal (some
# are built with a number appended, as VANTORA_COM<n>).
file(GLOB_RECURSE sources "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/sim/*.cpp")
set(variables "")
foreach(source IN LISTS sources)
  file(READ "${source}" text)
  string(REGEX MATCHALL "(qEnvironmentVariable[A-Za-z]*|qgetenv|getenv|secure_getenv)\\([ (]*\"[A-Za-z_0-9]+\""
         calls "${text}")
  foreach(call IN LISTS calls)
    string(REGEX REPLACE ".*\"([A-Za-z_0-9]+)\"$" "\\1" name "${call}")
    list(APPEND variables "${name}")
  endforeach()
  string(REGEX MATCHALL "\"VANTORA_[A-Z_0-9]+" literals "${text}")
  foreach(literal IN LISTS literals)
    string(SUBSTRING "${literal}" 1 -1 name)
    list(APPEND variables "${name}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES variables)
list(REMOVE_ITEM variables ${not_inputs})
if(NOT variables MATCHES "VANTORA_SETTINGS")
  string(APPEND failures "the scan of ${SOURCE_DIR}/src found no VANTORA_SETTINGS: it is broken\n")
endif()

execute_process(COMMAND "${VANTORA}" --help RESULT_VARIABLE result OUTPUT_VARIABLE help ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT error STREQUAL "")
  string(APPEND failures "vantora --help: exit ${result}, standard error '${error}'\n")
endif()
file(READ "${SOURCE_DIR}/docs/man/vantora.1" man)
foreach(name IN LISTS variables)
  string(FIND "${help}" "${name}" at)
  if(at EQUAL -1)
    string(APPEND failures "vantora --help does not name ${name}\n")
  endif()
  string(FIND "${man}" "${name}" at)
  if(at EQUAL -1)
    string(APPEND failures "vantora(1) does not name ${name}\n")
  endif()
endforeach()
foreach(option --version --help)
  string(REPLACE "-" "\\-" roff "${option}")
  string(FIND "${man}" ".B ${roff}\n" at)
  if(at EQUAL -1)
    string(APPEND failures "vantora(1) does not describe ${option}\n")
  endif()
endforeach()

execute_process(COMMAND "${UNITSIM}" --help RESULT_VARIABLE result OUTPUT_VARIABLE usage)
string(REGEX MATCHALL "\n  --[a-z-]+" options "${usage}")
list(LENGTH options count)
if(NOT result EQUAL 0 OR count LESS 10)
  string(APPEND failures "vantora-unitsim --help: exit ${result}, ${count} options in '${usage}'\n")
endif()
file(READ "${SOURCE_DIR}/docs/man/vantora-unitsim.1" man)
foreach(option IN LISTS options)
  string(STRIP "${option}" option)
  string(REPLACE "-" "\\-" roff "${option}")
  # As the tag of an item (.B/.BI/.BR), or as the second of two options sharing one item.
  string(REGEX REPLACE "([\\\\.])" "\\\\\\1" pattern "${roff}")
  if(NOT man MATCHES "\n\\.B[IR]? ${pattern}[ \n]" AND NOT man MATCHES "\\\\fB${pattern} ")
    string(APPEND failures "vantora-unitsim(1) does not describe ${option}\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "documented: ${variables}; ${count} simulator options")
