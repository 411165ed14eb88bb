# Each folder under src/ is a library that links only the modules below it,
# and a build step of its own fails when one of its files includes a header
# of a module that is not below it (cmake/check_includes.cmake).
set(HORVANE_MODULES "")

# horvane_module(NAME <target> DIR <folder under src> [RECURSE] [BELOW <targets>])
# Defines the target from the folder's sources (a STATIC library, or an
# INTERFACE one when the folder has headers only) and its include check.
function(horvane_module)
  cmake_parse_arguments(M "RECURSE" "NAME;DIR" "BELOW" ${ARGN})
  if(M_RECURSE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${M_DIR}/*.cpp)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${M_DIR}/*.h)
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${M_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${M_DIR}/*.h)
  endif()
  if(sources)
    add_library(${M_NAME} STATIC ${sources})
    target_link_libraries(${M_NAME} PUBLIC ${M_BELOW})
    if(HORVANE_FUZZ)
      # Instrumented for coverage; the fuzz targets add the driver.
      # Optimised: unoptimised code drowns the fuzzer in trivial comparisons.
      target_compile_options(${M_NAME} PRIVATE -fsanitize=fuzzer-no-link,address,undefined -O2)
    endif()
  else()
    add_library(${M_NAME} INTERFACE)
    target_link_libraries(${M_NAME} INTERFACE ${M_BELOW})
  endif()
  horvane_include_check(${M_NAME} ${M_DIR} "${M_BELOW}" ${sources} ${headers})
endfunction()

# The include check of target, whose own folder is dir and whose files are
# the rest; below are the targets it links.
function(horvane_include_check target dir below)
  set(allowed ${dir})
  foreach(b IN LISTS below)
    get_property(more GLOBAL PROPERTY HORVANE_ALLOWED_${b})
    list(APPEND allowed ${more})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY HORVANE_ALLOWED_${target} ${allowed})
  set_property(GLOBAL APPEND PROPERTY HORVANE_MODULE_DIRS ${dir})
  set_property(GLOBAL APPEND PROPERTY HORVANE_CHECKS ${target})
  set_property(GLOBAL PROPERTY HORVANE_CHECK_FILES_${target} ${ARGN})
endfunction()

# After every module is defined, when the folder list is complete.
function(horvane_add_include_checks)
  get_property(dirs GLOBAL PROPERTY HORVANE_MODULE_DIRS)
  get_property(targets GLOBAL PROPERTY HORVANE_CHECKS)
  foreach(target IN LISTS targets)
    get_property(allowed GLOBAL PROPERTY HORVANE_ALLOWED_${target})
    get_property(files GLOBAL PROPERTY HORVANE_CHECK_FILES_${target})
    list(GET allowed 0 dir)
    set(stamp ${CMAKE_BINARY_DIR}/include_checks/${target}.stamp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -DMODULE=${dir} "-DALLOWED=${allowed}" "-DMODULES=${dirs}"
              "-DFILES=${files}" -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DSTAMP=${stamp}
              -P ${CMAKE_SOURCE_DIR}/cmake/check_includes.cmake
      DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/check_includes.cmake
      COMMENT "Checking the includes of ${dir}"
      VERBATIM)
    add_custom_target(${target}_includes DEPENDS ${stamp})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      # Nothing to build: whoever links it runs its check.
      set_property(GLOBAL APPEND PROPERTY HORVANE_INTERFACE_CHECKS ${target}_includes)
    else()
      add_dependencies(${target} ${target}_includes)
    endif()
  endforeach()
  get_property(interface_checks GLOBAL PROPERTY HORVANE_INTERFACE_CHECKS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      add_dependencies(${target} ${interface_checks})
    endif()
  endforeach()
endfunction()
