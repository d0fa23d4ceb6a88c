# cmake -DDIST=dir -DOUTPUT=file.cpp -P embed_page.cmake
# Writes the built page's files into the program: pageAsset() finds them by their path.
set(files "/:index.html:text/html"
          "/assets/page.js:assets/page.js:text/javascript"
          "/assets/page.css:assets/page.css:text/css")
set(arrays "")
set(table "")
set(index 0)
foreach(entry IN LISTS files)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 path)
  list(GET parts 1 file)
  list(GET parts 2 type)
  file(READ "${DIST}/${file}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const unsigned char kAsset${index}[] = {\n${bytes}0};\n")
  string(APPEND table
    "  {\"${path}\", {reinterpret_cast<const char*>(kAsset${index}), ${size}}, \"${type}\\x3b charset=utf-8\"},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from the built page; do not edit.\n"
  "#include \"platform/workshop/web/page_assets.h\"\n"
  "#include <array>\n"
  "namespace kvm::workshop::web {\n"
  "namespace {\n${arrays}"
  "struct Entry { std::string_view path; std::string_view bytes; std::string_view type; };\n"
  "const std::array<Entry, ${index}> kAssets{{\n${table}}};\n"
  "}  // namespace\n"
  "std::optional<PageAsset> pageAsset(std::string_view path) {\n"
  "  for (const Entry& entry : kAssets) {\n"
  "    if (entry.path == path) return PageAsset{entry.bytes, entry.type};\n"
  "  }\n"
  "  return std::nullopt;\n"
  "}\n"
  "}  // namespace kvm::workshop::web\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
