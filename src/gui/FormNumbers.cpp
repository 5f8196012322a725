#include "gui/FormNumbers.h"

#include "report/NumberText.h"

#include <charconv>
#include <string>

namespace velmora {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without its surrounding blanks and tabs, and without a leading '+', which
// from_chars does not take; nothing for "+-", which a bare strip would turn into a number.
std::optional<std::string> Trimmed(const QString& text) {
    std::string s = text.toStdString();
    std::size_t first = 0, last = s.size();
    while (first < last && IsBlank(s[first])) ++first;
    while (last > first && IsBlank(s[last - 1])) --last;
    s = s.substr(first, last - first);
    if (!s.empty() && s[0] == '+') {
        if (s.size() > 1 && s[1] == '-') return std::nullopt;
        s.erase(0, 1);
    }
    return s;
}

// Sign, digits, point, exponent and nothing else: from_chars alone would also take "inf",
// "nan" and hexadecimal forms.
bool IsPlainDecimal(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == s.size();
}

template <class T>
std::optional<T> FromChars(const std::string& s) {
    T value{};
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

} // namespace

QString FormatDouble(double value) {
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, end - buffer);
}

QString FormatInteger(std::int32_t value) {
    return QString::number(value);
}

QString GroupedNumber(double value) {
    return QString::fromStdString(WholeNumber(value));
}

std::optional<double> ParseDouble(const QString& text) {
    auto s = Trimmed(text);
    if (!s || !IsPlainDecimal(*s)) return std::nullopt;
    return FromChars<double>(*s);
}

std::optional<std::int32_t> ParseInteger(const QString& text) {
    auto s = Trimmed(text);
    if (!s) return std::nullopt;
    const std::size_t start = !s->empty() && (*s)[0] == '-' ? 1 : 0;
    if (s->size() == start) return std::nullopt;
    for (std::size_t i = start; i < s->size(); ++i)
        if (!IsDigit((*s)[i])) return std::nullopt;
    return FromChars<std::int32_t>(*s);
}

} // namespace velmora
