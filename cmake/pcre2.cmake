# PCRE2 (8-bit) for the e-mail pattern of the feedback window.
# Native: Debian's libpcre2-dev through pkg-config. Windows: the static library
# that scripts/common.sh builds from Debian's pcre2 sources with the MinGW
# toolchain, kept outside git.
if(HORVANE_TARGET_WINDOWS)
  if(DEFINED ENV{HORVANE_DEPS_DIR})
    set(HORVANE_DEPS_DEFAULT "$ENV{HORVANE_DEPS_DIR}")
  else()
    set(HORVANE_DEPS_DEFAULT "$ENV{HOME}/.cache/horvane/deps")
  endif()
  set(HORVANE_DEPS_DIR "${HORVANE_DEPS_DEFAULT}" CACHE PATH
      "Dependencies built at set-up (scripts/common.sh)")
  set(HORVANE_PCRE2_MINGW "${HORVANE_DEPS_DIR}/pcre2-mingw")
  if(NOT EXISTS "${HORVANE_PCRE2_MINGW}/lib/libpcre2-8.a" OR
     NOT EXISTS "${HORVANE_PCRE2_MINGW}/include/pcre2.h")
    message(FATAL_ERROR
      "PCRE2 for MinGW-w64 is missing in ${HORVANE_PCRE2_MINGW}. Build it with:\n"
      "  bash -c 'source scripts/common.sh && ensure_pcre2_mingw'\n"
      "(scripts/test and scripts/run do this by themselves).")
  endif()
  add_library(horvane_pcre2 STATIC IMPORTED)
  set_target_properties(horvane_pcre2 PROPERTIES
    IMPORTED_LOCATION "${HORVANE_PCRE2_MINGW}/lib/libpcre2-8.a"
    INTERFACE_INCLUDE_DIRECTORIES "${HORVANE_PCRE2_MINGW}/include"
    INTERFACE_COMPILE_DEFINITIONS "PCRE2_STATIC;PCRE2_CODE_UNIT_WIDTH=8")
else()
  pkg_check_modules(HORVANE_PCRE2 REQUIRED IMPORTED_TARGET libpcre2-8)
  add_library(horvane_pcre2 INTERFACE)
  target_link_libraries(horvane_pcre2 INTERFACE PkgConfig::HORVANE_PCRE2)
  target_compile_definitions(horvane_pcre2 INTERFACE PCRE2_CODE_UNIT_WIDTH=8)
endif()
target_link_libraries(horvane_web PRIVATE horvane_pcre2)
