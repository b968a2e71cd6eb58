# The hardening Debian builds its programs with, for every target defined after this point:
# position-independent executables, a read-only relocation table bound at start-up
# (-z relro -z now), the checked variants of the C library's string and memory functions
# (_FORTIFY_SOURCE=2, which needs the optimiser, so optimised builds only) and stack protection.
# Sanitizer and fuzz builds keep their own instrumentation and leave fortification out, as
# AddressSanitizer replaces the same functions.
option(VANTORA_HARDENING "Build with the hardening flags of Debian's packages" ON)
set(VANTORA_FORTIFY OFF)  # on where _FORTIFY_SOURCE applies to the optimised configurations

if(VANTORA_HARDENING AND NOT MSVC AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong)
  if(NOT VANTORA_SANITIZE AND NOT VANTORA_FUZZ)
    set(VANTORA_FORTIFY ON)
    add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>
                        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
  endif()
  if(NOT APPLE)
    add_link_options(LINKER:-z,relro LINKER:-z,now)
  endif()
endif()
