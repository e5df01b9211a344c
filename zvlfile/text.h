// Names in ZVL and VOX files are bytes in whatever code page the scene was
// made in. For showing them as text (JSON, windows), make them valid UTF-8.
#pragma once

#include <string>
#include <string_view>

// The bytes with every sequence that is not well-formed UTF-8 replaced by
// U+FFFD, one replacement per bad byte; valid UTF-8 comes back unchanged.
// A null name gives "".
std::string ZvlNameAsUtf8(std::string_view bytes);
inline std::string ZvlNameAsUtf8(const char* name) { return name ? ZvlNameAsUtf8(std::string_view(name)) : std::string(); }
