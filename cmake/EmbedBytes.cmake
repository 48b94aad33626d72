# Writes OUTPUT, a C++ source whose function quillfen::detail::paper::NAME() returns the bytes of INPUT,
# so that a file the engine needs at run time is part of the library. Run with cmake -P.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUTPUT}
     "// Generated from ${INPUT} by cmake/EmbedBytes.cmake.\n"
     "#include \"engine/cleanup/detail/PaperModel.h\"\n\n"
     "namespace quillfen::detail::paper {\n\n"
     "namespace {\nconst std::uint8_t bytes[] = {${bytes}};\n}  // namespace\n\n"
     "std::span<const std::uint8_t> ${NAME}() { return bytes; }\n\n"
     "}  // namespace quillfen::detail::paper\n")
