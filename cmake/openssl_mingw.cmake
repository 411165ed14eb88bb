# OpenSSL for the Windows build: the static libraries that scripts/common.sh
# (ensure_openssl_mingw) builds from Debian's openssl sources, kept outside
# git in a folder named by source version and options. The newest such
# folder is taken; without one, the Windows build goes without NTS.
if(DEFINED ENV{HORVANE_DEPS_DIR})
  set(HORVANE_OPENSSL_DEPS "$ENV{HORVANE_DEPS_DIR}")
else()
  set(HORVANE_OPENSSL_DEPS "$ENV{HOME}/.cache/horvane/deps")
endif()
file(GLOB HORVANE_OPENSSL_STAMPS "${HORVANE_OPENSSL_DEPS}/openssl-mingw-*/horvane-build.txt")
if(HORVANE_OPENSSL_STAMPS)
  list(SORT HORVANE_OPENSSL_STAMPS COMPARE NATURAL)
  list(GET HORVANE_OPENSSL_STAMPS -1 stamp)
  get_filename_component(HORVANE_OPENSSL_MINGW "${stamp}" DIRECTORY)
  message(STATUS "OpenSSL for MinGW-w64: ${HORVANE_OPENSSL_MINGW}")
  add_library(OpenSSL::Crypto STATIC IMPORTED)
  set_target_properties(OpenSSL::Crypto PROPERTIES
    IMPORTED_LOCATION "${HORVANE_OPENSSL_MINGW}/lib/libcrypto.a"
    INTERFACE_INCLUDE_DIRECTORIES "${HORVANE_OPENSSL_MINGW}/include"
    INTERFACE_LINK_LIBRARIES "ws2_32;crypt32;bcrypt;user32;advapi32")
  add_library(OpenSSL::SSL STATIC IMPORTED)
  set_target_properties(OpenSSL::SSL PROPERTIES
    IMPORTED_LOCATION "${HORVANE_OPENSSL_MINGW}/lib/libssl.a"
    INTERFACE_INCLUDE_DIRECTORIES "${HORVANE_OPENSSL_MINGW}/include"
    INTERFACE_LINK_LIBRARIES OpenSSL::Crypto)
endif()
