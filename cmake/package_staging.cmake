# Run by CPack after it installed the files into its staging directory, before it makes the
# package: strips the programs as Debian's own packages are stripped (symbols, .comment and
# .note), and adds /usr/share/doc/vantora/copyright and changelog.Debian.gz and the package's
# lintian overrides.

file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(prefix "")
foreach(path IN LISTS staged)
  if(IS_DIRECTORY "${path}" AND path MATCHES "/usr/bin$")
    string(REGEX REPLACE "/bin$" "" prefix "${path}")
  endif()
endforeach()
if(prefix STREQUAL "")
  message(FATAL_ERROR "no usr/bin under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()

file(GLOB programs "${prefix}/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_VANTORA_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "strip ${program}: ${error}")
  endif()
endforeach()

set(doc "${prefix}/share/doc/vantora")
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CPACK_VANTORA_COPYRIGHT}" "${doc}/copyright")
execute_process(COMMAND "${CPACK_VANTORA_GZIP}" -9 -n -c "${CPACK_VANTORA_CHANGELOG}"
                OUTPUT_FILE "${doc}/changelog.Debian.gz" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${CPACK_VANTORA_CHANGELOG}: ${result}")
endif()
set(overrides "${prefix}/share/lintian/overrides")
file(MAKE_DIRECTORY "${overrides}")
file(COPY_FILE "${CPACK_VANTORA_LINTIAN_OVERRIDES}" "${overrides}/vantora")
file(CHMOD "${overrides}/vantora" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

file(CHMOD "${doc}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
           WORLD_READ WORLD_EXECUTE)
file(CHMOD "${doc}/copyright" "${doc}/changelog.Debian.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
