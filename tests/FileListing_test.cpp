#include "form/FileListing.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

// Guards the list's reading rules: masks split at ";", one case-insensitive order, duplicates
// kept, folders and hidden entries left out.
TEST(FileListingTest, MasksAndOrder) {
    test::TempFolder folder;
    for (const char* name : {"b.avi", "A.avi", "c.AVI", "d.wmv", ".h.avi", "e.txt"})
        folder.Write(name);
    std::filesystem::create_directory(folder.path() / "dir.avi");
    std::filesystem::create_directory(folder.path() / "sub");
    folder.Write("sub/x.avi");
    test::CurrentFolder here(folder.path());

    const struct {
        const char* what;
        const char* mask;
        Names names;
    } rows[] = {
        {"one mask, any case", "*.avi", {"A.avi", "b.avi", "c.AVI"}},
        {"two masks merge", "*.avi;*.wmv", {"A.avi", "b.avi", "c.AVI", "d.wmv"}},
        {"a name found twice is listed twice",
         "*.avi;*.AVI",
         {"A.avi", "A.avi", "b.avi", "b.avi", "c.AVI", "c.AVI"}},
        {"empty mask lists nothing", "", {}},
        {"empty parts are skipped", ";*.wmv;", {"d.wmv"}},
        {"a plain name", "e.txt", {"e.txt"}},
        {"every entry but folders and hidden",
         "*.*",
         {"A.avi", "b.avi", "c.AVI", "d.wmv", "e.txt"}},
        {"missing folder part gives nothing", "gone/*.avi", {}},
        {"a folder part lists nothing: the run would stamp this folder's files",
         "sub/*.avi;*.wmv",
         {"d.wmv"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(form::ListFolder(row.mask), row.names) << row.what;
}

// Guards the order itself: a total order, letters first, then length, then bytes.
TEST(FileListingTest, ListOrder) {
    const struct {
        const char* a;
        const char* b;
        bool less;
    } rows[] = {
        {"ab", "ABC", true},       {"ABC", "ab", false},     {"b", "Aaaa", false},
        {"Aaaa", "b", true},       {"A.avi", "a.avi", true}, {"a.avi", "A.avi", false},
        {"a.avi", "a.avi", false}, {"", "a", true},          {"_x", "ax", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(form::ListOrderLess(row.a, row.b), row.less) << row.a << " < " << row.b;
}

// Guards the busy signal: once, and only past 100 names.
TEST(FileListingTest, ManyNamesSignalledOnce) {
    test::TempFolder folder;
    for (int i = 0; i < 101; ++i)
        folder.Write("f" + std::to_string(i) + ".avi");
    test::CurrentFolder here(folder.path());
    int calls = 0;
    EXPECT_EQ(form::ListFolder("*.avi", [&calls] { ++calls; }).size(), 101u);
    EXPECT_EQ(calls, 1);
    std::filesystem::remove(folder.path() / "f0.avi");
    calls = 0;
    form::ListFolder("*.avi", [&calls] { ++calls; });
    EXPECT_EQ(calls, 0);
}

// Guards the command-line argument's folder: a folder opens itself, with or without its last
// separator; a file's path, or one that names nothing, opens what stands up to its last separator.
// On Windows a last quote is the backslash the C runtime took for an escape; elsewhere it is part
// of the name.
TEST(FileListingTest, FolderOfArgument) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.path() / "Video");
    const std::string top = folder.str();
    // A folder named without its last separator gets the system's own, a backslash on Windows.
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    const bool windows = separator == '\\';
    if (!windows)
        std::filesystem::create_directory(folder.path() / "Video\"");
    const struct {
        const char* what;
        std::string argument;
        std::string folder;
    } rows[] = {
        {"a file", top + "/Video/clip01.avi", top + "/Video/"},
        {"a folder", top + "/Video", top + "/Video" + separator},
        {"a folder with its separator", top + "/Video/", top + "/Video/"},
        {"nothing there", top + "/Gone", top + "/"},
        {"a bare name", "clip01.avi", ""},
        {"the root", "/", "/"},
        {"a folder quoted with its backslash", top + "/Video\"",
         windows ? top + "/Video\\" : top + "/Video\"/"},
        {"a drive quoted with its backslash", "C:\"", windows ? "C:\\" : ""},
        {"a drive with its backslash", "C:\\", windows ? "C:\\" : ""},
        {"nothing", "", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(form::FolderOfArgument(row.argument), row.folder) << row.what;
}

} // namespace
