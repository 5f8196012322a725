#pragma once

// Texts that come from a file (a project's titles, the risk definitions' names and keys) shown
// on a terminal or in a message: no byte of them may act as a control sequence, and a damaged
// file must not fill the screen.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// `velmora-cli show`'s notation: \\, \t, \r and \n escaped, and every other control character
// (C0, DEL and the C1 controls U+0080 to U+009F) as \xHH, its bytes in hexadecimal.
std::string EscapeText(std::string_view text);

// The text that EscapeText gave `text` for; nothing when `text` is no such notation.
std::optional<std::string> UnescapeText(std::string_view text);

// EscapeText, cut after `most` characters with "…" when longer: what a message quotes of a text.
inline constexpr std::size_t kQuotedTextLength = 200;
std::string QuotedText(std::string_view text, std::size_t most = kQuotedTextLength);

} // namespace velmora
