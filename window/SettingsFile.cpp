#include "window/SettingsFile.h"

#include <cctype>
#include <cstdint>
#include <istream>
#include <sstream>

namespace window {
namespace {

constexpr std::size_t kSettingsLines = 10;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

/// The line as a message quotes it: a damaged file may hold megabytes in one line, which no
/// message box should try to show.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kLongest = 200;
    return text.size() <= kLongest ? std::string(text)
                                   : std::string(text.substr(0, kLongest)) + "...";
}

std::string IntegerError(std::string_view text) {
    return "'" + Quoted(text) + "' is not a valid integer value";
}

std::string BooleanError(std::string_view text) {
    return "'" + Quoted(text) + "' is not a valid boolean value";
}

std::string Line(int number) {
    return std::to_string(number) + "\r\n";
}
std::string Line(bool checked) {
    return checked ? "-1\r\n" : "0\r\n";
}
std::string Line(const std::string& text) {
    return text + "\r\n";
}

} // namespace

std::string FormatSettings(const TSettings& s) {
    return Line(s.filterIndex) + Line(s.filterText) + Line(s.selectAll) + Line(s.makeReturnFile) +
           Line(s.targetPattern) + Line(s.leftPaneWidth) + Line(s.left) + Line(s.top) +
           Line(s.width) + Line(s.height);
}

std::vector<std::string> ReadSettingsLines(std::istream& in) {
    std::vector<std::string> lines(kSettingsLines);
    std::streambuf* bytes = in.rdbuf();
    for (std::string& line : lines) {
        int c;
        while ((c = bytes->sbumpc()) != std::char_traits<char>::eof() && c != '\r' && c != '\n') {
            if (line.size() < kLongestSettingsLine)
                line += static_cast<char>(c);
        }
        if (c == '\r' && bytes->sgetc() == '\n')
            bytes->sbumpc();
        if (c == std::char_traits<char>::eof())
            break;
    }
    return lines;
}

bool ReadWholeNumber(std::string_view text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;

    // Hexadecimal takes all 32 bits, as a bit pattern; decimal must fit the signed range.
    const std::uint64_t limit =
        base == 16 ? 0xFFFFFFFFULL : (negative ? 0x80000000ULL : 0x7FFFFFFFULL);
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = base == 16 ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            return false;
        magnitude =
            magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit)
            return false;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? (~magnitude + 1) : magnitude);
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool ReadCheckState(std::string_view text, bool& checked) {
    if (EqualsIgnoringCase(text, "true")) {
        checked = true;
        return true;
    }
    if (EqualsIgnoringCase(text, "false")) {
        checked = false;
        return true;
    }
    // A number: spaces, sign, digits with an optional fraction and exponent.
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool nonZero = false, digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        digits = true;
        nonZero = nonZero || text[i] != '0';
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            digits = true;
            nonZero = nonZero || text[i] != '0';
        }
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }
    if (i != text.size())
        return false;
    checked = nonZero;
    return true;
}

std::optional<std::string> ApplySettings(std::string_view text, TSettingsTarget& target) {
    std::istringstream in{std::string(text)};
    return ApplySettings(ReadSettingsLines(in), target);
}

std::optional<std::string> ApplySettings(std::vector<std::string> lines, TSettingsTarget& target) {
    lines.resize(kSettingsLines);

    int number = 0;
    bool checked = false;
    if (!ReadWholeNumber(lines[0], number))
        return IntegerError(lines[0]);
    target.SetFilterIndex(number);
    target.SetFilterText(lines[1]);
    if (!ReadCheckState(lines[2], checked))
        return BooleanError(lines[2]);
    target.SetSelectAll(checked);
    if (!ReadCheckState(lines[3], checked))
        return BooleanError(lines[3]);
    target.SetMakeReturnFile(checked);
    target.SetTargetPattern(lines[4]);

    void (TSettingsTarget::*const numbers[])(int) = {
        &TSettingsTarget::SetLeftPaneWidth, &TSettingsTarget::SetLeft, &TSettingsTarget::SetTop,
        &TSettingsTarget::SetWidth, &TSettingsTarget::SetHeight};
    for (std::size_t i = 0; i < 5; ++i) {
        if (!ReadWholeNumber(lines[5 + i], number))
            return IntegerError(lines[5 + i]);
        (target.*numbers[i])(number);
    }
    return std::nullopt;
}

} // namespace window
