#include "form/SettingsFile.h"

#include "engine/CodePage.h"
#include "engine/Messages.h"
#include "form/FormText.h"

#include "platform/AsciiCase.h"
#include "platform/DirectorySearch.h"
#include "platform/SystemCodePage.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <istream>
#include <iterator>
#include <sstream>

namespace form {
namespace {

constexpr std::size_t kSettingsLines = 10;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The line as a message quotes it: a damaged file may hold megabytes in one line, which no
/// message box should try to show.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kLongest = 200;
    return text.size() <= kLongest ? std::string(text)
                                   : std::string(text.substr(0, kLongest)) + "...";
}

std::string IntegerError(std::string_view text) {
    return engine::messages::Filled(engine::messages::kNotAnInteger, Quoted(text));
}

std::string BooleanError(std::string_view text) {
    return engine::messages::Filled(engine::messages::kNotABoolean, Quoted(text));
}

std::string Line(int number) {
    return std::to_string(number) + "\r\n";
}
std::string Line(bool checked) {
    return checked ? "-1\r\n" : "0\r\n";
}
/// A text line as the file keeps it: in the system's ANSI code page, as the file has always been,
/// where the text fits; in UTF-8 where it does not, so that a filter with any letter survives.
std::string Line(const std::string& text) {
    std::string bytes;
    if (!platform::ToAnsiCodePage(text, bytes))
        bytes = text;
    return bytes + "\r\n";
}

/// The text of a line written by Line: one that is well-formed UTF-8 was written so (a line in a
/// single-byte code page seldom is, unless it is ASCII, which reads the same either way).
std::string TextOfLine(const std::string& line) {
    return engine::IsUtf8(line) ? line : platform::FromAnsiCodePage(line);
}

} // namespace

std::string SettingsPath(const std::string& programFolder, bool programFolderWritable,
                         std::string_view installedFolder, const std::string& configFolder) {
    const bool installed =
        !installedFolder.empty() && std::string_view(programFolder).ends_with(installedFolder);
    const bool own = !programFolder.empty() && programFolderWritable && !installed;
    return platform::JoinPath(own ? programFolder : configFolder, kSettingsFileName);
}

int SavedFilterIndex(int chosen, std::string_view text) {
    const int presets = static_cast<int>(std::size(text::kFilterPresets));
    return chosen >= 0 && chosen < presets && text == text::kFilterPresets[chosen] ? chosen : -1;
}

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
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    for (const std::string_view prefix : {"$", "0x", "0X"}) {
        if (text.starts_with(prefix)) {
            base = 16;
            text.remove_prefix(prefix.size());
            break;
        }
    }
    // Unsigned digits only: a second sign, a blank or anything after the digits is an error.
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return false;
    // Hexadecimal takes all 32 bits, as a bit pattern; decimal must fit the signed range.
    const std::uint64_t limit =
        base == 16 ? 0xFFFFFFFFULL : (negative ? 0x80000000ULL : 0x7FFFFFFFULL);
    if (magnitude > limit)
        return false;
    const auto bits = static_cast<std::uint32_t>(negative ? (~magnitude + 1) : magnitude);
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool ReadCheckState(std::string_view text, bool& checked) {
    if (platform::EqualsIgnoringAsciiCase(text, "true") ||
        platform::EqualsIgnoringAsciiCase(text, "false")) {
        checked = text.size() == 4;
        return true;
    }
    // A number: leading blanks, a sign, digits with an optional fraction and exponent.
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    // from_chars would also take "inf" and "nan", which are no numbers here.
    if (text.empty() || !(IsDigit(text[0]) || text[0] == '.'))
        return false;
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc::invalid_argument || end != text.data() + text.size())
        return false;
    // Zero only where no digit before the exponent is: any other value, however far out of
    // range, is not zero.
    checked = text.find_first_of("123456789") < text.find_first_of("eE");
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
    target.SetFilterText(TextOfLine(lines[1]));
    if (!ReadCheckState(lines[2], checked))
        return BooleanError(lines[2]);
    target.SetSelectAll(checked);
    if (!ReadCheckState(lines[3], checked))
        return BooleanError(lines[3]);
    target.SetMakeReturnFile(checked);
    target.SetTargetPattern(TextOfLine(lines[4]));

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

} // namespace form
