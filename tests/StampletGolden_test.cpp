// Runs the Stamplet binary over the shared table of command-line cases and compares its exact
// standard output, standard error and exit status.

#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "stampreport/StampletText.h"
#include "tests/support/ProgramRun.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct GoldenCase {
    std::string name;
    bool posixOnly = false;
    bool windowsOnly = false;
    std::vector<std::string> files;
    std::vector<std::string> folders;
    std::vector<std::string> arguments;
    int status = -1;
    std::string out;
    std::string err;
};

std::string Rest(const std::string& line, std::size_t keyword) {
    return line.size() > keyword ? line.substr(keyword + 1) : std::string();
}

std::vector<GoldenCase> LoadCases() {
    std::ifstream in(KRONALO_STAMPLET_GOLDEN);
    std::vector<GoldenCase> cases;
    std::string line;
    GoldenCase current;
    const bool windows = platform::NativeCommandShell() == platform::CommandShell::Cmd;
    while (std::getline(in, line)) {
        const std::string keyword = line.substr(0, line.find(' '));
        if (line.empty() || line[0] == '#')
            continue;
        if (keyword == "case") {
            current = GoldenCase();
            current.name = Rest(line, 4);
        } else if (line == "only posix")
            current.posixOnly = true;
        else if (line == "only windows")
            current.windowsOnly = true;
        else if (keyword == "file")
            current.files.push_back(Rest(line, 4));
        else if (keyword == "folder")
            current.folders.push_back(Rest(line, 6));
        else if (keyword == "arg")
            current.arguments.push_back(Rest(line, 3));
        else if (keyword == "status")
            current.status = std::stoi(Rest(line, 6));
        else if (keyword == "banner")
            current.out += stamp::text::kBanner;
        else if (keyword == "help")
            current.out += stamp::text::kHelp;
        else if (keyword == "out")
            current.out += Rest(line, 3) + "\n";
        else if (keyword == "err")
            current.err += Rest(line, 3) + "\n";
        else if (keyword == "end") {
            // A case of the other system is no test here at all, rather than one skipped.
            if (!(windows ? current.posixOnly : current.windowsOnly))
                cases.push_back(current);
        } else
            ADD_FAILURE() << "unknown line in the golden table: " << line;
    }
    return cases;
}

/// Names a case in test reports.
void PrintTo(const GoldenCase& golden, std::ostream* out) {
    *out << golden.name;
}

class StampletGoldenTest : public ::testing::TestWithParam<GoldenCase> {};

// Guards every message, the banner, the help text and the exit statuses against drift.
TEST_P(StampletGoldenTest, OutputAndStatus) {
    const GoldenCase& golden = GetParam();

    test::TempFolder folder;
    for (const std::string& sub : golden.folders)
        std::filesystem::create_directories(folder.path() / test::PathOf(sub));
    for (const std::string& file : golden.files)
        folder.Write(file);

    test::ProgramRun run;
    ASSERT_FALSE(test::RunProgram(KRONALO_STAMPLET, golden.arguments, folder.str(),
                                  {{"TZ", "UTC"}, {"LC_ALL", "C"}}, run));
    // A Windows console program ends its lines with CR LF.
    if (platform::NativeCommandShell() == platform::CommandShell::Cmd) {
        for (std::string* text : {&run.out, &run.err})
            for (std::size_t at; (at = text->find("\r\n")) != std::string::npos;)
                text->erase(at, 1);
    }
    EXPECT_EQ(run.out, golden.out);
    EXPECT_EQ(run.err, golden.err);
    EXPECT_EQ(run.exitStatus, golden.status);
}

INSTANTIATE_TEST_SUITE_P(Table, StampletGoldenTest, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
