#pragma once

// The control identifiers of the Win32 window, which its tests read its state by.

namespace win32::ids {

inline constexpr int kTreeView = 101;
inline constexpr int kPath = 102;
inline constexpr int kComboBox = 103;
inline constexpr int kFileList = 104;
inline constexpr int kFilter = 105;
inline constexpr int kSelectAllBox = 106;
inline constexpr int kToNameEdit = 107;
inline constexpr int kDoItBtn = 108;
inline constexpr int kSelectAllBtn = 109;
inline constexpr int kButton1 = 110;
inline constexpr int kLabel1 = 111;
inline constexpr int kLabel2 = 112;
inline constexpr int kLabel3 = 113;
inline constexpr int kLabel4 = 114;
inline constexpr int kMakeReturnFileBtn = 115;
inline constexpr int kFileBuf = 116;
inline constexpr int kSplitter1 = 117;

// The stamp console's controls.
inline constexpr int kConsoleOutput = 301;
inline constexpr int kConsoleProgress = 302;
inline constexpr int kConsoleSummary = 303;
inline constexpr int kConsoleStop = 304;

// The details box's: its button and the details it opens.
inline constexpr int kDetailsButton = 401;
inline constexpr int kDetailsText = 402;

// The popup menu's commands and the keyboard's.
inline constexpr int kValitsekaikki1 = 201;
inline constexpr int kValitsejokatoinen1 = 202;
inline constexpr int kKnteinenvalinta1 = 203;
inline constexpr int kValitsejokatoinenjovalitut1 = 204;
inline constexpr int kVaihdapolkuaAltD1 = 205;
inline constexpr int kPalautaaiemmatajat1 = 206;
inline constexpr int kAltD = 210;
inline constexpr int kAltP = 211;
inline constexpr int kAltA = 212;
inline constexpr int kAltV = 213;
inline constexpr int kAltK = 214;

/// The window classes of the main window and the stamp console.
inline constexpr const wchar_t* kWindowClass = L"TForm1";
inline constexpr const wchar_t* kConsoleClass = L"TStampConsole";

} // namespace win32::ids
