# Installs the build into PREFIX and checks that a desktop finds the program, its simulator, its
# launcher entry and its icon there.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

include(GNUInstallDirs)
foreach(program vantora vantora-unitsim)
  set(path "${PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}")
  if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
  file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${path}" UNRESOLVED_DEPENDENCIES_VAR unresolved)
  if(unresolved)
    message(FATAL_ERROR "${program} needs libraries that cannot be found: ${unresolved}")
  endif()
endforeach()

set(desktop "${PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/vantora.desktop")
file(STRINGS "${desktop}" entry)
foreach(line "[Desktop Entry]" "Type=Application" "Exec=vantora" "Icon=vantora")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "${desktop} lacks the line ${line}")
  endif()
endforeach()

foreach(icon scalable/apps/vantora.svg 128x128/apps/vantora.png)
  if(NOT EXISTS "${PREFIX}/${CMAKE_INSTALL_DATADIR}/icons/hicolor/${icon}")
    message(FATAL_ERROR "icon not installed: ${icon}")
  endif()
endforeach()

# The service's unit (installed, never enabled: no link under a .wants folder) and the settings
# file's manual page.
foreach(file lib/systemd/system/vantora.service ${CMAKE_INSTALL_MANDIR}/man5/vantora.conf.5.gz
        ${CMAKE_INSTALL_MANDIR}/man1/vantora.1.gz)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(GLOB_RECURSE enabled "${PREFIX}/*.wants/*")
if(enabled)
  message(FATAL_ERROR "installed enabled: ${enabled}")
endif()
