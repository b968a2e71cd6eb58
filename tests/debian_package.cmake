# Builds the Debian package of the build tree BUILD_DIR into WORK with CPACK, then checks it as
# dpkg sees it: file list, control fields, the changelog, the programs' hardening, the
# post-install step run against a scratch root, and the unpacked programs answering --version
# and --help and refusing an unknown option.
cmake_minimum_required(VERSION 3.25)

# Runs COMMAND, which must end with EXIT (default 0); OUTPUT gets standard output and error
# together, STDERR standard error alone.
function(run)
  cmake_parse_arguments(RUN "" "OUTPUT;STDERR;EXIT" "COMMAND;ENV" ${ARGN})
  if(NOT DEFINED RUN_EXIT)
    set(RUN_EXIT 0)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${RUN_ENV} -- ${RUN_COMMAND}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL RUN_EXIT)
    message(FATAL_ERROR "${RUN_COMMAND} ended with ${result}, expected ${RUN_EXIT}:\n${out}\n${err}")
  endif()
  if(RUN_OUTPUT)
    set(${RUN_OUTPUT} "${out}${err}" PARENT_SCOPE)
  endif()
  if(RUN_STDERR)
    set(${RUN_STDERR} "${err}" PARENT_SCOPE)
  endif()
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
run(COMMAND "${CPACK}" -G DEB -B "${WORK}" --config "${BUILD_DIR}/CPackConfig.cmake" OUTPUT log)
run(COMMAND dpkg --print-architecture OUTPUT arch)
string(STRIP "${arch}" arch)
set(package_version "${VERSION}-${REVISION}")
set(deb "${WORK}/vantora_${package_version}_${arch}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${WORK}/*.deb")
  message(FATAL_ERROR "no ${deb}; cpack made: ${made}\n${log}")
endif()

# The files a user gets.
run(COMMAND dpkg-deb --contents "${deb}" OUTPUT contents)
foreach(path
    "./usr/bin/vantora" "./usr/bin/vantora-unitsim"
    "./usr/share/applications/vantora.desktop"
    "./usr/share/icons/hicolor/scalable/apps/vantora.svg" "./usr/share/icons/hicolor/128x128/apps/vantora.png"
    "./usr/share/man/man1/vantora.1.gz" "./usr/share/man/man1/vantora-unitsim.1.gz"
    "./usr/share/doc/vantora/copyright" "./usr/share/doc/vantora/changelog.Debian.gz"
    "./usr/share/lintian/overrides/vantora")
  string(REGEX REPLACE "([.+])" "\\\\\\1" pattern "${path}")
  if(NOT contents MATCHES " ${pattern}(\n|$)")
    message(FATAL_ERROR "${deb} lacks ${path}:\n${contents}")
  endif()
endforeach()
if(contents MATCHES "\\./usr/local/|\\./(tmp|home|root)/")
  message(FATAL_ERROR "${deb} installs outside /usr:\n${contents}")
endif()
if(NOT contents MATCHES "-rwxr-xr-x root/root [ 0-9]+ [-0-9]+ [:0-9]+ \\./usr/bin/vantora\n")
  message(FATAL_ERROR "/usr/bin/vantora is not an executable owned by root:\n${contents}")
endif()

# Control fields: the dependencies come from the programs' libraries, not from a hand-kept list.
foreach(field Package Version Architecture Section Maintainer Description Depends)
  run(COMMAND dpkg-deb --field "${deb}" ${field} OUTPUT value)
  string(STRIP "${value}" value)
  set(control_${field} "${value}")
endforeach()
foreach(check "Package=vantora" "Version=${package_version}" "Architecture=${arch}" "Section=hamradio"
              "Maintainer=${MAINTAINER}")
  string(REPLACE "=" ";" pair "${check}")
  list(GET pair 0 field)
  list(GET pair 1 expected)
  if(NOT control_${field} STREQUAL expected)
    message(FATAL_ERROR "${field}: '${control_${field}}', expected '${expected}'")
  endif()
endforeach()
foreach(needed libc6 libstdc\\+\\+6 libqt6core6 libqt6widgets6 libqt6serialport6 libqt6network6 libcap2-bin)
  if(NOT control_Depends MATCHES "(^|, )${needed}( \\(|,|$)")
    message(FATAL_ERROR "Depends lacks ${needed}: ${control_Depends}")
  endif()
endforeach()
run(COMMAND dpkg-deb --info "${deb}" OUTPUT info)
if(NOT info MATCHES "postinst")
  message(FATAL_ERROR "no post-install step:\n${info}")
endif()

# Unpacked into a scratch root, with the post-install step run against it as dpkg --root would.
set(root "${WORK}/root")
run(COMMAND dpkg-deb --extract "${deb}" "${root}")
run(COMMAND dpkg-deb --control "${deb}" "${root}/DEBIAN")
run(COMMAND sh "${root}/DEBIAN/postinst" configure ENV "DPKG_ROOT=${root}" OUTPUT said)
if(NOT said MATCHES "dialout")
  message(FATAL_ERROR "the post-install step says nothing of the dialout group:\n${said}")
endif()
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(uid STREQUAL "0")
  # Only root may grant a capability; as anyone else the step warns instead (checked above to
  # end well all the same).
  run(COMMAND getcap "${root}/usr/bin/vantora" OUTPUT caps)
  if(NOT caps MATCHES "cap_net_bind_service[=+]+ep")
    message(FATAL_ERROR "no cap_net_bind_service on the installed program: '${caps}'\n${said}")
  endif()
endif()

# The newest changelog entry is this package version's, signed by its maintainer.
execute_process(COMMAND gzip -dc "${root}/usr/share/doc/vantora/changelog.Debian.gz" OUTPUT_VARIABLE changelog
                RESULT_VARIABLE result)
string(REGEX MATCH "^vantora \\(([^)]+)\\)" top "${changelog}")
if(NOT result EQUAL 0 OR NOT CMAKE_MATCH_1 STREQUAL package_version)
  message(FATAL_ERROR "the changelog's newest entry is '${top}', not ${package_version}:\n${changelog}")
endif()
string(FIND "${changelog}" "\n -- ${MAINTAINER}  " signed)
if(signed EQUAL -1)
  message(FATAL_ERROR "the changelog's entry is not signed by ${MAINTAINER}:\n${changelog}")
endif()

# Both programs stripped of symbols and of the .comment section; with HARDENED, built as Debian
# builds its own: position-independent, relocations read-only and bound at start-up; with
# FORTIFIED (optimised builds), the program's string and memory functions checked.
foreach(program vantora vantora-unitsim)
  set(path "${root}/usr/bin/${program}")
  run(COMMAND readelf --file-header --program-headers --dynamic --section-headers --wide "${path}" OUTPUT elf)
  if(HARDENED)
    foreach(need "Type:[ ]+DYN" "GNU_RELRO" "FLAGS_1\\)[ ]+Flags: NOW PIE" "BIND_NOW")
      if(NOT elf MATCHES "${need}")
        message(FATAL_ERROR "${program} lacks ${need}:\n${elf}")
      endif()
    endforeach()
  endif()
  foreach(section .comment .symtab .debug_info)
    string(REPLACE "." "\\." pattern "${section}")
    if(elf MATCHES "\\] ${pattern} ")
      message(FATAL_ERROR "${program} still has the section ${section}")
    endif()
  endforeach()
endforeach()
if(FORTIFIED)
  run(COMMAND readelf --dyn-syms --wide "${root}/usr/bin/vantora" OUTPUT symbols)
  if(NOT symbols MATCHES "__[a-z]+_chk@")
    message(FATAL_ERROR "vantora calls no checked (_chk) function: built without _FORTIFY_SOURCE")
  endif()
endif()

run(COMMAND "${root}/usr/bin/vantora" --version ENV "DISPLAY=" "QT_QPA_PLATFORM=" OUTPUT version)
if(NOT version STREQUAL "vantora ${VERSION}\n")
  message(FATAL_ERROR "vantora --version printed '${version}'")
endif()
run(COMMAND "${root}/usr/bin/vantora-unitsim" --version OUTPUT version)
if(NOT version STREQUAL "vantora-unitsim ${VERSION}\n")
  message(FATAL_ERROR "vantora-unitsim --version printed '${version}'")
endif()
run(COMMAND "${root}/usr/bin/vantora" --help ENV "DISPLAY=" OUTPUT help)
if(NOT help MATCHES "^Usage: vantora " OR NOT help MATCHES "VANTORA_ROTCTLD_PORT")
  message(FATAL_ERROR "vantora --help printed '${help}'")
endif()
# An unknown option does not start the program (no display is needed to find that out).
run(COMMAND "${root}/usr/bin/vantora" --bogus ENV "DISPLAY=" "QT_QPA_PLATFORM=" EXIT 2 OUTPUT said STDERR refusal)
if(NOT refusal MATCHES "^vantora: unknown option '--bogus'\nUsage: vantora " OR NOT said STREQUAL refusal)
  message(FATAL_ERROR "vantora --bogus printed '${said}'")
endif()
message(STATUS "${deb}: ${control_Depends}")
