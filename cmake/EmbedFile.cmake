# Writes SOURCE as a C++ array named NAME (with NAME_size) into OUTPUT:
#   cmake -DSOURCE=... -DOUTPUT=... -DNAME=... -P EmbedFile.cmake
file(READ "${SOURCE}" hex HEX)
file(SIZE "${SOURCE}" size)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}" "// Made by the build from ${SOURCE}\nextern const unsigned char ${NAME}[] = {\n${bytes}};\nextern const int ${NAME}_size = ${size};\n")
