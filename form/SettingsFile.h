#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace form {

/// The window's state that the settings file keeps, in the order of its ten lines. Its values
/// are the window's defaults, as both windows are built with them.
struct TSettings {
    int filterIndex = 2; ///< Chosen entry of the filter box (text::kFilterPresets); -1 for none.
    std::string filterText = "*.avi";
    bool selectAll = true;      ///< The automatic-selection option.
    bool makeReturnFile = true; ///< The hidden option.
    std::string targetPattern = "*.wmv";
    int leftPaneWidth = 217;
    int left = 129;
    int top = 179;
    int width = 651;
    int height = 382;
};

/// Where the read lines go, each as soon as it has been read.
class TSettingsTarget {
public:
    virtual ~TSettingsTarget() = default;
    virtual void SetFilterIndex(int index) = 0;
    virtual void SetFilterText(const std::string& text) = 0;
    virtual void SetSelectAll(bool checked) = 0;
    virtual void SetMakeReturnFile(bool checked) = 0;
    virtual void SetTargetPattern(const std::string& text) = 0;
    virtual void SetLeftPaneWidth(int width) = 0;
    virtual void SetLeft(int left) = 0;
    virtual void SetTop(int top) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
};

/// The entry of the filter box that the settings file keeps: the one chosen, where the box shows
/// its text; -1 where the text was typed or no entry is chosen.
int SavedFilterIndex(int chosen, std::string_view text);

/// The name of the settings file.
inline constexpr const char* kSettingsFileName = "Kronalo.dat";

/// Where the settings file lives: in the program folder, unless that folder is an installed
/// copy's (it ends with `installedFolder`, such as "/lib/kronalo/": not the user's to write in,
/// even where the user could; an empty one marks none) or cannot be written, or is unknown; then
/// in `configFolder`, the user's configuration folder.
std::string SettingsPath(const std::string& programFolder, bool programFolderWritable,
                         std::string_view installedFolder, const std::string& configFolder);

/// The file's ten lines, each ended by CR LF. A text line is in the system's ANSI code page
/// where it fits there, in UTF-8 where it does not; reading tells the two apart.
std::string FormatSettings(const TSettings& settings);

/// The most bytes of one line that are read; the rest of a longer line is passed over.
inline constexpr std::size_t kLongestSettingsLine = 4096;

/// The most bytes of the whole file that are read: ten of the longest lines with their CR LF.
inline constexpr std::size_t kLongestSettingsFile = 10 * (kLongestSettingsLine + 2);

/// Reads the ten lines of a settings file, and no more: lines may end in CR LF, CR or LF, a
/// missing line reads as an empty text, and each line keeps at most kLongestSettingsLine bytes,
/// so a damaged file of any size costs little memory.
std::vector<std::string> ReadSettingsLines(std::istream& in);

/// Applies the ten lines in order. Stops at the first line that cannot be read and returns its
/// message; the lines before it have been applied.
std::optional<std::string> ApplySettings(std::vector<std::string> lines, TSettingsTarget& target);

/// Reads the lines of a settings file's whole text and applies them.
std::optional<std::string> ApplySettings(std::string_view text, TSettingsTarget& target);

/// Reads a whole number: leading spaces, an optional sign, decimal digits, or a hexadecimal
/// number after "$" or "0x". Anything else, a trailing space too, and the empty text fail.
bool ReadWholeNumber(std::string_view text, int& value);

/// Reads a check box state: any number (zero is not checked) or "True"/"False" in any case.
bool ReadCheckState(std::string_view text, bool& checked);

} // namespace form
