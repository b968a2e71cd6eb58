# The service's unit UNIT: the lines it promises (unless VERIFY_ONLY), then systemd's own check,
# `systemd-analyze verify`, of a copy in WORK whose ExecStart runs PROGRAM (the check wants the
# program to exist). A warning about the unit fails the check as an error would.
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${UNIT}" lines)
if(NOT VERIFY_ONLY)
  foreach(line
      "[Service]" "Type=notify" "WatchdogSec=10" "Restart=on-failure" "User=vantora"
      "ExecStart=/usr/bin/vantora --headless --settings /var/lib/vantora/vantora.conf"
      "AmbientCapabilities=CAP_NET_BIND_SERVICE" "NoNewPrivileges=yes" "ProtectSystem=strict"
      "ProtectHome=yes" "PrivateTmp=yes" "ReadWritePaths=/var/lib/vantora"
      "RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6" "StateDirectory=vantora" "DevicePolicy=closed"
      "DeviceAllow=char-ttyS rw" "DeviceAllow=char-ttyUSB rw" "DeviceAllow=char-ttyACM rw"
      "[Install]" "WantedBy=multi-user.target")
    if(NOT line IN_LIST lines)
      message(FATAL_ERROR "${UNIT} lacks the line ${line}")
    endif()
  endforeach()
endif()

find_program(ANALYZE systemd-analyze)
if(NOT ANALYZE)
  message(STATUS "systemd-analyze not found: the unit's lines are checked, systemd's verify is skipped")
  return()
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(READ "${UNIT}" unit)
string(REPLACE "ExecStart=/usr/bin/vantora " "ExecStart=${PROGRAM} " unit "${unit}")
file(WRITE "${WORK}/vantora.service" "${unit}")
# --man=no: the manual pages it names are not installed where the check runs.
execute_process(COMMAND "${ANALYZE}" verify --man=no "${WORK}/vantora.service"
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR "${out}${err}" MATCHES "vantora\\.service")
  message(FATAL_ERROR "systemd-analyze verify finds fault in ${UNIT} (${result}):\n${out}${err}")
endif()
message(STATUS "systemd-analyze verify: ${UNIT} passes")
