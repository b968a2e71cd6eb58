# The post-install step's system user for the service, against stand-ins for the account tools
# that record what they are asked and keep the accounts in a file: made once (with adduser, or
# useradd where adduser is missing), put in group dialout, and left alone on a second run.
cmake_minimum_required(VERSION 3.25)

set(bin "${WORK}/bin")
set(accounts "${WORK}/accounts")
set(calls "${WORK}/calls")

function(stub name body)
  string(REPLACE "@ACCOUNTS@" "${accounts}" body "${body}")
  file(WRITE "${bin}/${name}" "#!/bin/sh\necho \"${name} $*\" >> '${calls}'\n${body}\n")
  file(CHMOD "${bin}/${name}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
endfunction()

# Runs the step with the stand-ins (and adduser or not) first on PATH; returns the calls made.
function(run_postinst with_adduser out)
  file(REMOVE "${calls}")
  file(TOUCH "${calls}")
  file(REMOVE "${bin}/adduser")
  if(with_adduser)
    stub(adduser "for last; do :; done; echo \"user \$last\" >> '${accounts}'")
  endif()
  # Only the stand-ins and the ordinary tools: the real account tools live in /usr/sbin.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DPKG_ROOT "PATH=${bin}:/usr/bin:/bin"
                  sh "${POSTINST}" configure
                  RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "postinst failed (${result}):\n${said}")
  endif()
  file(READ "${calls}" made)
  string(REGEX REPLACE "(^|\n)(getent|id)[^\n]*" "" made "${made}")  # the look-ups
  string(STRIP "${made}" made)
  set(${out} "${made}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${bin}")
stub(getent [=[
case "$1 $2" in
  "passwd vantora") grep -qx "user vantora" @ACCOUNTS@ ;;
  "group dialout") exit 0 ;;
  *) exit 2 ;;
esac]=])
stub(id [=[
[ "$1 $2" = "-nG vantora" ] || exit 1
grep -qx "user vantora" @ACCOUNTS@ || exit 1
groups=vantora
grep -qx "member dialout" @ACCOUNTS@ && groups="vantora dialout"
echo "$groups"]=])
stub(useradd "for last; do :; done; echo \"user \$last\" >> '${accounts}'")
stub(usermod "echo \"member \$3\" >> '${accounts}'")

foreach(tool adduser useradd)
  file(REMOVE "${accounts}")
  file(TOUCH "${accounts}")
  if(tool STREQUAL "adduser")
    set(with_adduser TRUE)
    set(expected "adduser --system --group --home /var/lib/vantora --no-create-home --gecos Vantora rotator service vantora")
  else()
    set(with_adduser FALSE)
    set(expected "useradd --system --user-group --home-dir /var/lib/vantora --no-create-home --shell /usr/sbin/nologin --comment Vantora rotator service vantora")
  endif()
  run_postinst(${with_adduser} first)
  if(NOT first STREQUAL "${expected}\nusermod -a -G dialout vantora")
    message(FATAL_ERROR "with ${tool}, the first run made:\n${first}")
  endif()
  run_postinst(${with_adduser} second)
  if(NOT second STREQUAL "")
    message(FATAL_ERROR "with ${tool}, a second run changed accounts again:\n${second}")
  endif()
  # A user that is there but not in dialout (made by hand, say) only joins the group.
  file(WRITE "${accounts}" "user vantora\n")
  run_postinst(${with_adduser} joined)
  if(NOT joined STREQUAL "usermod -a -G dialout vantora")
    message(FATAL_ERROR "with ${tool}, an existing user without dialout got:\n${joined}")
  endif()
endforeach()
message(STATUS "the post-install step makes the user vantora once, in dialout")
