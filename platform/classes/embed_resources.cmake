# Turns every file below DIR into static data in the C++ source OUT, with a
# function INIT that registers them in the resource table at start-up.
#   <DIR>/<folder>/<Name>.<ext>  ->  type by folder, name <Name>
#   forms, rcdata -> RCDATA; bitmaps -> BITMAP; cursors -> CURSOR; icons -> ICON;
#   strings -> string table ("id=text" lines); any other folder -> its name in capitals.
# Files directly in DIR, *.md files and hidden files are not embedded.
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE files RELATIVE "${DIR}" "${DIR}/*")
list(SORT files)
set(decls "")
set(calls "")
set(i 0)
foreach(rel IN LISTS files)
  if(rel MATCHES "\\.md$" OR rel MATCHES "(^|/)\\." OR NOT rel MATCHES "/")
    continue()
  endif()
  string(REGEX REPLACE "/.*" "" top "${rel}")
  get_filename_component(name "${rel}" NAME_WLE)
  if(NOT name MATCHES "^[A-Za-z0-9_][A-Za-z0-9_.-]*$")
    message(FATAL_ERROR "Resource file name '${rel}': use letters, digits, '_', '.' and '-' only")
  endif()
  string(TOLOWER "${top}" topl)
  if(topl STREQUAL "forms" OR topl STREQUAL "rcdata")
    set(type RCDATA)
  elseif(topl STREQUAL "bitmaps")
    set(type BITMAP)
  elseif(topl STREQUAL "cursors")
    set(type CURSOR)
  elseif(topl STREQUAL "icons")
    set(type ICON)
  elseif(topl STREQUAL "strings")
    set(type STRINGTABLE)
  else()
    string(TOUPPER "${top}" type)
  endif()
  file(READ "${DIR}/${rel}" hex HEX)
  string(LENGTH "${hex}" len)
  math(EXPR size "${len} / 2")
  if(size EQUAL 0)
    set(body "0")
  else()
    string(REPEAT "[0-9a-f]" 64 line_pattern)
    string(REGEX REPLACE "(${line_pattern})" "\\1\n" body "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${body}")
  endif()
  string(APPEND decls "// ${rel}\nalignas(8) const unsigned char kRes${i}[] = {\n${body}};\n")
  if(type STREQUAL "STRINGTABLE")
    string(APPEND calls "  RegisterStringTable(kRes${i}, ${size}, \"${rel}\");\n")
  else()
    string(APPEND calls "  RegisterResource(\"${type}\", \"${name}\", kRes${i}, ${size});\n")
  endif()
  math(EXPR i "${i} + 1")
endforeach()

set(text "// Generated from the files of the resource folder; do not edit.
#include \"platform/classes/resources_init.h\"
#include \"platform/rtl/resources.h\"

namespace {
${decls}}  // namespace

void ${INIT}() {
${calls}}
")
file(WRITE "${OUT}.tmp" "${text}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
