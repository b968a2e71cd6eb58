# The version the program reports, the manual pages, and the Debian package (cpack -G DEB,
# or scripts/package). Dependencies are found by dpkg-shlibdeps from the installed programs.

target_compile_definitions(vantora PRIVATE VANTORA_VERSION="${PROJECT_VERSION}")
target_compile_definitions(vantorad PRIVATE VANTORA_VERSION="${PROJECT_VERSION}")

# Manual pages, compressed as Debian installs them.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(VANTORA_MAN_PAGES vantora vantora-unitsim)
set(VANTORA_MAN_OUTPUTS)
foreach(page ${VANTORA_MAN_PAGES})
  set(source ${CMAKE_SOURCE_DIR}/docs/man/${page}.1)
  set(output ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  list(APPEND VANTORA_MAN_OUTPUTS ${output})
endforeach()
add_custom_target(vantora_man_pages ALL DEPENDS ${VANTORA_MAN_OUTPUTS})
install(FILES ${VANTORA_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantora developers")
set(CPACK_PACKAGE_CONTACT "Vantora developers <vantora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console for a two-rotator antenna system on one control unit")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantora polls the antenna rotators' control unit on a serial port, shows both positions on dials and over a map, turns the rotators to typed targets, presets or the Moon, and answers other programs over TCP. Includes vantora-unitsim, a simulated control unit.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vantora_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# setcap, for the capability the post-install step grants.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
include(CPack)

# Builds the package from this build tree, checks its contents and control fields, unpacks it
# into a scratch root, runs its post-install step there and the unpacked program's --version.
add_test(NAME debian_package COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DCPACK=${CMAKE_CPACK_COMMAND}
         -DVERSION=${PROJECT_VERSION} -DWORK=${CMAKE_BINARY_DIR}/package-check
         -P ${CMAKE_SOURCE_DIR}/tests/debian_package.cmake)
set_tests_properties(debian_package PROPERTIES LABELS package TIMEOUT 600)
