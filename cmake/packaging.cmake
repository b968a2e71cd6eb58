# The version the program reports, the manual pages, and the Debian package (cpack -G DEB,
# or scripts/package). Dependencies are found by dpkg-shlibdeps from the installed programs.

target_compile_definitions(vantora PRIVATE VANTORA_VERSION="${PROJECT_VERSION}")
if(TARGET vantora-unitsim)
  target_compile_definitions(vantora-unitsim PRIVATE VANTORA_VERSION="${PROJECT_VERSION}")
endif()
target_compile_definitions(vantorad PRIVATE VANTORA_VERSION="${PROJECT_VERSION}")

# Manual pages, compressed as Debian installs them.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(VANTORA_MAN_PAGES vantora vantora-unitsim vantorad)
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
install(FILES ${VANTORA_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The settings file's page, in section 5.
set(source ${CMAKE_SOURCE_DIR}/docs/man/vantora.conf.5)
set(output ${CMAKE_BINARY_DIR}/man/vantora.conf.5.gz)
add_custom_command(OUTPUT ${output}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${source} > ${output}
  DEPENDS ${source} VERBATIM)
install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)
list(APPEND VANTORA_MAN_OUTPUTS ${output})
add_custom_target(vantora_man_pages ALL DEPENDS ${VANTORA_MAN_OUTPUTS})

# The service: installed, not enabled (vantora.service in the package's systemd units).
install(FILES ${CMAKE_SOURCE_DIR}/packaging/systemd/vantora.service DESTINATION lib/systemd/system)

# Who answers for the package: its Maintainer field and the signature of its changelog. Set it
# when building a package for others: -DVANTORA_MAINTAINER="Name <address>".
set(VANTORA_MAINTAINER "Vantora developers <packaging@vantora.merrow.example>" CACHE STRING
    "Maintainer of the Debian package, as \"Name <address>\"")
# The n of the package version <program version>-<n>: raised for a package-only change.
set(VANTORA_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the package")

# The package's changelog; its newest entry names the package version (debian_package checks).
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantora developers")
set(CPACK_PACKAGE_CONTACT "${VANTORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VANTORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VANTORA_DEBIAN_REVISION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console for a two-rotator antenna system on one control unit")
# The long description, in lines of at most 80 characters as Debian wants them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Vantora polls the antenna rotators' control unit on a serial port, shows both"
  "positions on dials and over a map, and turns the rotators to typed targets,"
  "presets, the Moon or the Sun. Other programs turn them over TCP (including"
  "Hamlib's rotctld protocol) and UDP (N1MM Logger+ and PstRotator-style"
  "datagrams)."
  "Includes vantora-unitsim, a simulated control unit.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vantora_<version>-<revision>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# setcap, for the capability the post-install step grants.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin, adduser")
# The maintainer scripts and control files: each of these that packaging/debian/ holds is shipped,
# so a new one is added by adding the file.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA)
foreach(control preinst postinst prerm postrm conffiles triggers templates config)
  if(EXISTS ${CMAKE_SOURCE_DIR}/packaging/debian/${control})
    list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/${control})
  endif()
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# Stripped as Debian strips (the .comment and .note sections too) by the staging step below,
# which also puts the copyright file, the changelog and the lintian overrides in place.
set(CPACK_STRIP_FILES FALSE)
set(CPACK_VANTORA_STRIP "${CMAKE_STRIP}")
set(CPACK_VANTORA_COPYRIGHT ${CMAKE_SOURCE_DIR}/packaging/debian/copyright)
set(CPACK_VANTORA_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.Debian)
set(CPACK_VANTORA_GZIP "${GZIP_EXECUTABLE}")
set(CPACK_VANTORA_LINTIAN_OVERRIDES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/package_staging.cmake)
include(CPack)

# Builds the package from this build tree, checks its contents, control fields and hardening,
# unpacks it into a scratch root, runs its post-install step there and the unpacked programs.
add_test(NAME debian_package COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DCPACK=${CMAKE_CPACK_COMMAND}
         -DVERSION=${PROJECT_VERSION} -DREVISION=${VANTORA_DEBIAN_REVISION} -DMAINTAINER=${VANTORA_MAINTAINER}
         -DHARDENED=${VANTORA_HARDENING}
         -DFORTIFIED=$<AND:$<BOOL:${VANTORA_FORTIFY}>,$<CONFIG:Release,RelWithDebInfo,MinSizeRel>>
         -DWORK=${CMAKE_BINARY_DIR}/package-check -P ${CMAKE_SOURCE_DIR}/tests/debian_package.cmake)
set_tests_properties(debian_package PROPERTIES LABELS package TIMEOUT 600 FIXTURES_SETUP debian_package_built)

# Debian's own checks of the package that debian_package built: any error or warning fails. Not
# for the sanitizer and fuzz builds, whose instrumented programs nobody ships.
find_program(LINTIAN_EXECUTABLE lintian)
if(LINTIAN_EXECUTABLE AND NOT VANTORA_SANITIZE AND NOT VANTORA_FUZZ)
  add_test(NAME debian_package_lintian COMMAND ${CMAKE_COMMAND} -DLINTIAN=${LINTIAN_EXECUTABLE}
           -DWORK=${CMAKE_BINARY_DIR}/package-check -P ${CMAKE_SOURCE_DIR}/tests/debian_package_lintian.cmake)
  set_tests_properties(debian_package_lintian PROPERTIES LABELS package TIMEOUT 600
                       FIXTURES_REQUIRED debian_package_built)
endif()

# The launcher entry, as desktop-file-validate sees it: no error, warning or hint.
find_program(DESKTOP_FILE_VALIDATE_EXECUTABLE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE_EXECUTABLE AND UNIX)
  add_test(NAME desktop_file_validate COMMAND ${CMAKE_COMMAND} -DVALIDATE=${DESKTOP_FILE_VALIDATE_EXECUTABLE}
           -DDESKTOP_FILE=${CMAKE_SOURCE_DIR}/resources/desktop/vantora.desktop
           -P ${CMAKE_SOURCE_DIR}/tests/desktop_file_validate.cmake)
  set_tests_properties(desktop_file_validate PROPERTIES LABELS package)
endif()

# The post-install step's system user for the service, against stand-ins for the account tools.
add_test(NAME postinst_user COMMAND ${CMAKE_COMMAND} -DPOSTINST=${CMAKE_SOURCE_DIR}/packaging/debian/postinst
         -DWORK=${CMAKE_BINARY_DIR}/postinst-user-check -P ${CMAKE_SOURCE_DIR}/tests/postinst_user.cmake)

# The service's unit: the lines it promises, and systemd's own check where systemd-analyze exists.
add_test(NAME systemd_unit COMMAND ${CMAKE_COMMAND} -DUNIT=${CMAKE_SOURCE_DIR}/packaging/systemd/vantora.service
         -DPROGRAM=$<TARGET_FILE:vantora> -DWORK=${CMAKE_BINARY_DIR}/systemd-unit-check
         -P ${CMAKE_SOURCE_DIR}/tests/systemd_unit.cmake)
set_tests_properties(systemd_unit PROPERTIES SKIP_REGULAR_EXPRESSION "systemd-analyze not found")
# The check finds a fault: a unit with a misspelt line fails it.
add_test(NAME systemd_unit_finds_fault COMMAND ${CMAKE_COMMAND}
         -DUNIT=${CMAKE_SOURCE_DIR}/tests/data/systemd_unit/misspelt.service
         -DPROGRAM=$<TARGET_FILE:vantora> -DWORK=${CMAKE_BINARY_DIR}/systemd-unit-fault
         -DVERIFY_ONLY=ON -P ${CMAKE_SOURCE_DIR}/tests/systemd_unit.cmake)
set_tests_properties(systemd_unit_finds_fault PROPERTIES
  PASS_REGULAR_EXPRESSION "systemd-analyze verify finds fault in" SKIP_REGULAR_EXPRESSION "systemd-analyze not found")
