# Fails when a file of one module includes a header of a module that is not
# below it. Run as a build step of each module (cmake/modules.cmake):
#   -DMODULE=app -DALLOWED="app;web;..." -DMODULES="every module"
#   -DFILES="..." -DSTAMP=...
# A header belongs to the longest module folder its path begins with, so
# "platform/win32/x.h" is the win32 adapters', not the interfaces'.
cmake_minimum_required(VERSION 3.20)
set(failures "")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    set(owner "")
    foreach(m IN LISTS MODULES)
      string(LENGTH "${m}" n)
      string(LENGTH "${owner}" best)
      if(header MATCHES "^${m}/" AND n GREATER best)
        set(owner "${m}")
      endif()
    endforeach()
    if(owner AND NOT owner IN_LIST ALLOWED)
      file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
      string(APPEND failures "  ${shown}: #include \"${header}\" (${owner} is not below ${MODULE})\n")
    endif()
  endforeach()
endforeach()
if(failures)
  string(REPLACE ";" " " below "${ALLOWED}")
  message(FATAL_ERROR "Module ${MODULE} may include only ${below}:\n${failures}")
endif()
file(TOUCH "${STAMP}")
