# Runs lintian on the package in WORK (made by the test debian_package) and fails on any error or
# warning it reports; the informational tags are shown but pass.
cmake_minimum_required(VERSION 3.25)
file(GLOB debs "${WORK}/vantora_*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${WORK}, found: ${debs}")
endif()
execute_process(COMMAND "${LINTIAN}" --display-info --fail-on error,warning --no-cfg ${debs}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian ${debs}:\n${out}")
string(REGEX MATCHALL "(^|\n)[EW]: [^\n]*" faults "${out}")
if(NOT result EQUAL 0 OR faults)
  message(FATAL_ERROR "lintian (exit ${result}) found:${faults}\n${err}")
endif()
