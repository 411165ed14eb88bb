# OpenSSL for the Windows build: the static libraries that scripts/common.sh
# (ensure_openssl_mingw) builds from Debian's openssl sources, kept outside
# git in a folder named by source version and options.
if(DEFINED ENV{HORVANE_DEPS_DIR})
  set(HORVANE_OPENSSL_DEPS "$ENV{HORVANE_DEPS_DIR}")
else()
  set(HORVANE_OPENSSL_DEPS "$ENV{HOME}/.cache/horvane/deps")
endif()
# scripts/common.sh names the build of its options; without it, the one
# build in the cache is taken.
set(HORVANE_OPENSSL_MINGW "" CACHE PATH "OpenSSL for MinGW-w64, as scripts/common.sh built it")
if(NOT HORVANE_OPENSSL_MINGW)
  file(GLOB HORVANE_OPENSSL_STAMPS "${HORVANE_OPENSSL_DEPS}/openssl-mingw-*/horvane-build.txt")
  list(LENGTH HORVANE_OPENSSL_STAMPS count)
  if(count GREATER 1)
    message(FATAL_ERROR "More than one OpenSSL build in ${HORVANE_OPENSSL_DEPS}: name one with -DHORVANE_OPENSSL_MINGW")
  elseif(count EQUAL 1)
    get_filename_component(HORVANE_OPENSSL_MINGW "${HORVANE_OPENSSL_STAMPS}" DIRECTORY)
  endif()
endif()
if(HORVANE_OPENSSL_MINGW)
  message(STATUS "OpenSSL for MinGW-w64: ${HORVANE_OPENSSL_MINGW}")
  add_library(OpenSSL::Crypto STATIC IMPORTED)
  set_target_properties(OpenSSL::Crypto PROPERTIES
    IMPORTED_LOCATION "${HORVANE_OPENSSL_MINGW}/lib/libcrypto.a"
    INTERFACE_INCLUDE_DIRECTORIES "${HORVANE_OPENSSL_MINGW}/include"
    # Winsock, CryptoAPI and BCrypt as the program loads them: when first called.
    INTERFACE_LINK_LIBRARIES "horvane_system32_dlls;user32;advapi32")
  add_library(OpenSSL::SSL STATIC IMPORTED)
  set_target_properties(OpenSSL::SSL PROPERTIES
    IMPORTED_LOCATION "${HORVANE_OPENSSL_MINGW}/lib/libssl.a"
    INTERFACE_INCLUDE_DIRECTORIES "${HORVANE_OPENSSL_MINGW}/include"
    INTERFACE_LINK_LIBRARIES OpenSSL::Crypto)
else()
  message(FATAL_ERROR "No OpenSSL for MinGW-w64 in ${HORVANE_OPENSSL_DEPS}: build_preset in scripts/common.sh builds it")
endif()
