#include "EscapeText.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace velmora {
namespace {

struct Escape {
    char letter;
    char character;
};
constexpr Escape kEscapes[] = {{'\\', '\\'}, {'t', '\t'}, {'r', '\r'}, {'n', '\n'}};

// The length in bytes of a control character at text[k] that has no letter of its own, or 0:
// C0 and DEL, and the C1 controls U+0080 to U+009F (UTF-8 0xC2 0x80 to 0xC2 0x9F), which some
// terminals obey as well and which a record gets from the five bytes that Windows-1252 leaves
// undefined.
std::size_t ControlLength(std::string_view text, std::size_t k) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (byte(k) < 0x20 || byte(k) == 0x7F) return 1;
    if (byte(k) == 0xC2 && k + 1 < text.size() && byte(k + 1) >= 0x80 && byte(k + 1) < 0xA0)
        return 2;
    return 0;
}

} // namespace

std::string EscapeText(std::string_view text) {
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string out;
    for (std::size_t k = 0; k < text.size();) {
        const Escape* escape = std::ranges::find(kEscapes, text[k], &Escape::character);
        if (escape != std::end(kEscapes)) {
            out += '\\';
            out += escape->letter;
            ++k;
            continue;
        }
        const std::size_t control = ControlLength(text, k);
        if (control == 0) {
            out += text[k++];
            continue;
        }
        for (const std::size_t end = k + control; k < end; ++k) {
            const auto byte = static_cast<unsigned char>(text[k]);
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::optional<std::string> UnescapeText(std::string_view text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\\') {
            out += text[k];
            continue;
        }
        if (++k == text.size()) return std::nullopt;
        if (text[k] == 'x') {
            if (text.size() - k < 3) return std::nullopt;
            const char* digits = text.data() + k + 1;
            unsigned byte = 0;
            const auto [end, ec] = std::from_chars(digits, digits + 2, byte, 16);
            if (ec != std::errc() || end != digits + 2) return std::nullopt;
            out += static_cast<char>(byte);
            k += 2;
            continue;
        }
        const Escape* escape = std::ranges::find(kEscapes, text[k], &Escape::letter);
        if (escape == std::end(kEscapes)) return std::nullopt;
        out += escape->character;
    }
    return out;
}

std::string QuotedText(std::string_view text, std::size_t most) {
    // Escapes make a text longer, never shorter: escaping more than the first `most` bytes
    // would only be cut again, however large the text.
    std::string out = EscapeText(text.substr(0, std::min(text.size(), 4 * most + 4)));
    std::size_t characters = 0;
    for (std::size_t k = 0; k < out.size(); ++k) {
        // Continuation bytes of UTF-8 do not start a character.
        if ((static_cast<unsigned char>(out[k]) & 0xC0) == 0x80) continue;
        if (characters++ == most) return out.substr(0, k) + "\u2026";
    }
    return out;
}

} // namespace velmora
