# Writes a C++ header holding a text file as a string constant, so that a file shipped as it is
# (the extension's script) is built into the program from the same source, never copied.
# cmake -DINPUT=<file> -DOUTPUT=<header> -DNAME=<constant> -P EmbedText.cmake
file(READ "${INPUT}" text)
set(marker "embedded_text")
string(FIND "${text}" ")${marker}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the end marker of the raw string it is embedded in")
endif()
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
  "#pragma once\n// ${source}, written by the build: change that file, not this one.\n"
  "namespace wisp {\ninline constexpr char ${NAME}[] = R\"${marker}(${text})${marker}\";\n}\n")
