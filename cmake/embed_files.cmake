# Turns the files of data/ into the constant file table, in the order of data/manifest.txt.
# Run at build time:  cmake -DDATA_DIR=<data> -DOUTPUT=<file_table.cpp> -P embed_files.cmake
# Pure CMake, so the cross build needs no host tool. A name of the manifest whose file is not
# in data/ yet is left out of the table and reported.
if(NOT DATA_DIR OR NOT OUTPUT)
  message(FATAL_ERROR "embed_files: DATA_DIR and OUTPUT are required")
endif()

file(STRINGS "${DATA_DIR}/manifest.txt" names)
set(arrays "")
set(records "")
set(missing "")
set(index 0)
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  if(name STREQUAL "")
    continue()
  endif()
  if(NOT EXISTS "${DATA_DIR}/${name}")
    list(APPEND missing "${name}")
    continue()
  endif()
  file(SIZE "${DATA_DIR}/${name}" size)
  if(size EQUAL 0)
    # A zero-length array is not C++: keep one unused byte, report size 0.
    set(bytes "0x00,")
  else()
    file(READ "${DATA_DIR}/${name}" hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # Break the initialiser into lines of 32 bytes so the generated file stays readable.
    string(REPEAT "0x..," 32 line)
    string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
  endif()
  string(APPEND arrays "// ${name}\nstatic const uint8_t FILE_DATA_${index}[] = {\n${bytes}\n};\n\n")
  string(APPEND records "    {\"${name}\", ${size}u, FILE_DATA_${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()

if(missing)
  string(REPLACE ";" " " list "${missing}")
  message(STATUS "embed_files: not in data/ yet, left out of the table: ${list}")
endif()

set(text "// Generated from data/ by cmake/embed_files.cmake. Do not edit.\n")
string(APPEND text "#include \"file/file_table.h\"\n\n${arrays}")
string(APPEND text "// In search order; the last record only ends the table.\n")
string(APPEND text "const file_entry file_table[] = {\n${records}    {nullptr, 0u, nullptr},\n};\n")
string(APPEND text "const int32_t file_table_count = ${index};\n")

file(WRITE "${OUTPUT}" "${text}")
