#pragma once

// Project files and reports hold single-byte Windows-1252 text; the record holds UTF-8. Every
// one of the 256 bytes maps to one code point and back (the five bytes Windows-1252 leaves
// undefined map to the C1 controls U+0081, U+008D, U+008F, U+0090, U+009D), so any file opens
// and saves back byte for byte.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

char32_t Cp1252ToCodePoint(std::uint8_t byte);
// The byte that holds `cp`, or nothing when Windows-1252 cannot hold it.
std::optional<std::uint8_t> Cp1252FromCodePoint(char32_t cp);

std::string Cp1252ToUtf8(std::string_view bytes);
// Nothing when `utf8` is not valid UTF-8 or holds a character Windows-1252 cannot hold.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
bool FitsCp1252(std::string_view utf8);

// UTF-16 code units as the wide strings of old project files hold them; an unpaired
// surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);
void AppendUtf8(std::string& out, char32_t cp);

} // namespace velmora
