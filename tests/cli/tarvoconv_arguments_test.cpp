#include <vector>

#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_arguments = TarvoconvTest;

struct PageNames {
    int capitalA;  // 'А' in that code page, from its published chart
    int smallYa;   // 'я'
    std::vector<const char*> names;
};

// cp866 and Macintosh share 'А' but not 'я', cp866 and ISO-8859-5 the other
// way round, so a name that picks the wrong page gives the wrong pair.
const PageNames Pages[] = {
    {0x80, 0xEF, {"cp866", "CP866", "866", "ibm866", "IBM866", "dos", "Dos", "0"}},
    {0xC0, 0xFF, {"cp1251", "1251", "windows-1251", "Windows-1251", "win", "WIN", "1"}},
    {0xE1, 0xD1, {"koi8-r", "KOI8-R", "koi8r", "koi8", "unix", "Unix", "2"}},
    {0x80, 0xDF, {"mac", "MAC", "maccyrillic", "MacCyrillic", "x-mac-cyrillic", "macintosh", "3"}},
    {0xB0, 0xEF, {"iso-8859-5", "ISO-8859-5", "iso8859-5", "iso88595", "4"}},
};

TEST_F(tarvoconv_arguments, EveryNameSelectsItsCodePageBothWays)
{
    const std::string windows = Bytes({0xC0, 0xFF});
    for (const PageNames& page : Pages) {
        const std::string letters = Bytes({page.capitalA, page.smallYa});
        for (const char* name : page.names) {
            SCOPED_TRACE(name);
            const ToolRun from = Run({"-f", name, "-t", "cp1251"}, letters);
            EXPECT_EQ(from.exitCode, 0) << from.err;
            EXPECT_EQ(from.out, windows);
            const ToolRun to = Run({"-f", "cp1251", "-t", name}, windows);
            EXPECT_EQ(to.exitCode, 0) << to.err;
            EXPECT_EQ(to.out, letters);
        }
    }
}

TEST_F(tarvoconv_arguments, OptionsInAnyOrderAttachedOrAfterDoubleDash)
{
    // Only a relative name can start with '-'.
    WriteFile(Work("-dashed"), "a\nb");
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    const ToolRun run = Run({"-n", "-tcp1251", "-o-", "-fkoi8-r", "--", "-dashed"});
    fs::current_path(previous);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "a\r\nb");
    EXPECT_EQ(Run({"-f", "koi8-r", "-t", "cp1251"}, "a\nb").out, "a\nb") << "CR added without -n";
}

TEST_F(tarvoconv_arguments, LongOptionsAndBundledShortOnesMeanTheSame)
{
    const std::string windows = "\xC0 \x98\r\n";  // 0x98 has no character
    for (const auto& arguments : {std::vector<std::string>{"--from=cp1251", "--to", "utf-8", "--newlines", "-c"},
                                  {"-ncf", "1", "--to=utf8"}, {"-cnf1", "-tUTF-8"},
                                  {"--fr=1", "--t", "utf8", "--new", "-c"}}) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const ToolRun run = Run(arguments, windows);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "\xD0\x90 ?\n");
    }
}

TEST_F(tarvoconv_arguments, HelpVersionAndListGoToStandardOutput)
{
    const std::vector<const char*> names = {"cp866", "cp1251", "koi8-r", "mac", "iso-8859-5", "x-mac-cyrillic",
                                            "utf-8", "utf8", "utf-16", "utf-16le", "unicode"};
    const struct {
        std::vector<std::string> arguments;
        const char* first;  // the output's first line starts so
        bool listsNames;
    } requests[] = {
        {{"--help"}, "Usage: tarvoconv", true},
        {{"-f", "dos", "--help", "x", "y", "z"}, "Usage: tarvoconv", true},
        {{"--version"}, "tarvoconv (Tarvo) " TARVO_EXPECTED_VERSION "\n", false},
        {{"--list", "-f", "utf-8"}, "  0  cp866", true},
        {{"-h"}, "Usage: tarvoconv", true},
        {{"-?"}, "Usage: tarvoconv", true},
        {{"--he"}, "Usage: tarvoconv", true},
        {{"-l"}, "  0  cp866", true},
        {{"--li"}, "  0  cp866", true},
        {{"--vers"}, "tarvoconv (Tarvo) " TARVO_EXPECTED_VERSION "\n", false},
    };
    for (const auto& request : requests) {
        SCOPED_TRACE(request.arguments[0]);
        const ToolRun run = Run(request.arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.rfind(request.first, 0), 0u) << run.out;
        for (const char* name : names)
            EXPECT_EQ(run.out.find(name) != std::string::npos, request.listsNames) << name;
    }
}

TEST_F(tarvoconv_arguments, BadArgumentsExitWithOneLineAndTouchNothing)
{
    WriteFile(Work("a"), "text");
    const std::vector<std::vector<std::string>> rejected = {
        {},
        {"-f", "koi8-r"},
        {"-t", "cp1251"},
        {"-f", "koi8-r", "-t"},
        {"-f"},
        {"-f", "koi9", "-t", "cp1251"},
        {"-f", "5", "-t", "1"},
        {"-f", "-1", "-t", "1"},
        {"-f", "", "-t", "1"},
        {"-f", "cp 866", "-t", "1"},
        {"-f", "1", "-t", "2", "-x"},
        {"-f", "1", "-t", "2", "--hepl"},
        {"--f=1", "-t", "2"},  // --from or --force
        {"-f", "1", "-t", "2", "-o"},
        {"-f", "1", "-t", "2", "--output="},
        {"-f", "1", "-t", "2", "--in-place", Work("a"), "-o", Work("b")},
        {"-f", "1", "-t", "2", "--force", Work("a")},
        {"--detect", "-o", Work("b"), Work("a")},
        {"-f", "utf-32", "-t", "1"},
        {"-f", "1", "-t", "2//TRANSLATE"},
        {"-f", "1//IGNORE", "-t", "2"},
        {"--from"},
        {"--from=", "-t", "1"},
        {"-f", "1", "-t", "2", "--newlines=yes"},
        {"-f", "1", "-t", "2", "--in-place"},
        {"-f", "1", "-t", "2", "--in-place", Work("a"), "-"},
        {"-f", "1", "-t", "2", "-nx"},
        {"--explain", "-f", "1", "-t", "2"},
        {"-v", "-f", "1", "-t", "2"},
        {"--repair", "-n"},
        {"--repair", "--detect"},
        {"--repair", "--in-place"},
        {"--repair", "--force", Work("a")},
    };
    for (const auto& arguments : rejected) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const ToolRun run = Run(arguments, "input");
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        const std::string hint = "\nTry 'tarvoconv --help' for more information.\n";
        EXPECT_EQ(run.err.rfind("tarvoconv: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - hint.size()) << run.err;
        EXPECT_EQ(run.err.substr(run.err.find('\n')), hint);
        EXPECT_EQ(WorkListing(), std::set<std::string>{"a"});
    }
}

} // namespace
