# The same sources give the same program file, wherever they were checked
# out and whenever they were built:
#   - no build folder in the shipped file: paths in __FILE__ and debug data
#     are written relative to the checkout (the later map wins, so the build
#     folder inside the checkout comes second);
#   - objects in a fixed order: file(GLOB) lists them sorted, and each
#     module's library is linked in the order cmake/modules.cmake names them;
#   - the PE time stamp from the sources, and a CheckSum that matches the
#     final bytes (horvane_reproducible_program).
if(HORVANE_RELEASE)
  add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
endif()

# Stamps target after its other post-build steps: call it after them.
function(horvane_reproducible_program target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/pe-stamp.py $<TARGET_FILE:${target}>
            ${HORVANE_BUILD_DATE_DIR}/horvane_build_date.h
    VERBATIM)
endfunction()
