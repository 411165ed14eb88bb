# Script mode: writes a delay-load import library for one system DLL, with
# every function of its ordinary MinGW import library.
#   cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIB=... -DDLL=name.dll -DOUT=lib.a -P delay_import_lib.cmake
execute_process(COMMAND ${NM} -g --defined-only ${IMPORT_LIB} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "__imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
list(REMOVE_DUPLICATES imports)
set(def "LIBRARY ${DLL}\nEXPORTS\n")
foreach(symbol IN LISTS imports)
  string(REGEX REPLACE "^__imp_" "" name "${symbol}")
  string(APPEND def "  ${name}\n")
endforeach()
file(WRITE ${OUT}.def "${def}")
execute_process(COMMAND ${DLLTOOL} --input-def ${OUT}.def --dllname ${DLL} --output-delaylib ${OUT}
                COMMAND_ERROR_IS_FATAL ANY)
