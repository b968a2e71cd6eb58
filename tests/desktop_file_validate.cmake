# desktop-file-validate on the launcher entry: its exit code covers errors only, so any line it
# prints (a warning, or a hint such as two main categories) fails too.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND "${VALIDATE}" "${DESKTOP_FILE}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate ${DESKTOP_FILE} (exit ${result}):\n${out}${err}")
endif()
