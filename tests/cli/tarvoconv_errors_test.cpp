#include <vector>

#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_errors = TarvoconvTest;

const char Original[] = "\xE1\xD1 stays as it was\n";

TEST_F(tarvoconv_errors, UnreadableInputLeavesOutputAlone)
{
    fs::create_directory(Work("folder"));
    WriteFile(Work("out.txt"), Original);
    for (const std::string& input : {Work("missing.txt"), Work("folder")}) {
        SCOPED_TRACE(input);
        ExpectFileFailure(Run({"-f", "koi8-r", "-t", "cp1251", input, "-o", Work("out.txt")}), input);
        EXPECT_EQ(ReadFile(Work("out.txt")), Original);
        EXPECT_EQ(WorkListing(), (std::set<std::string>{"folder", "out.txt"}));
    }
}

TEST_F(tarvoconv_errors, InputsThatCannotBeOpenedArePassedOverAsIconvDoes)
{
    WriteFile(Work("a.txt"), "\xE1\n");  // 'А' in KOI8-R
    WriteFile(Work("b.txt"), "\xD1\n");  // 'я'
    const std::string a = "\xC0\n", b = "\xFF\n", missing = Work("missing.txt");
    const std::string says = "tarvoconv: " + missing + ": No such file or directory\n";
    const struct {
        std::vector<std::string> arguments;
        std::string out;     // on standard output, or in out.txt with -o ("-": none)
        std::string err;
    } runs[] = {
        {{Work("a.txt"), missing, Work("b.txt")}, a + b, says},
        {{"-o", Work("out.txt"), missing, Work("a.txt"), missing}, a, says + says},
        {{"-o", Work("out.txt"), missing, missing}, "-", says + says},
        {{"--repair", "-f", "koi8-r", "-o", Work("out.txt"), missing, Work("b.txt")}, b, says},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(::testing::PrintToString(run.arguments));
        std::vector<std::string> arguments = {"-f", "koi8-r", "-t", "cp1251"};
        arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
        const ToolRun result = Run(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, run.err);
        const bool toFile = run.arguments[0] != Work("a.txt");
        EXPECT_EQ(!toFile ? result.out : fs::exists(Work("out.txt")) ? ReadFile(Work("out.txt")) : "-", run.out);
        fs::remove(Work("out.txt"));
    }
}

TEST_F(tarvoconv_errors, UnwritableOutputLeavesInputAlone)
{
    WriteFile(Work("in.txt"), Original);
    fs::create_directory(Work("folder"));
    WriteFile(Work("folder") + "/inside.txt", Original);
    for (const std::string& output : {Work("nowhere") + "/out.txt", Work("folder")}) {
        SCOPED_TRACE(output);
        ExpectFileFailure(Run({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), "-o", output}), output);
        EXPECT_EQ(ReadFile(Work("in.txt")), Original);
        EXPECT_EQ(WorkListing(), (std::set<std::string>{"folder", "in.txt"}));
        EXPECT_EQ(ReadFile(Work("folder") + "/inside.txt"), Original);
    }
}

TEST_F(tarvoconv_errors, ReadOnlyOutputIsRefusedAndKept)
{
    WriteFile(Work("in.txt"), Original);
    WriteFile(Work("out.txt"), Original);
    fs::permissions(Work("out.txt"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    for (const std::string& output : {Work("out.txt"), Work("in.txt")}) {
        SCOPED_TRACE(output);
        if (output == Work("in.txt"))
            fs::permissions(output, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
        const ToolRun run = Run({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), "-o", output});
        ExpectFileFailure(run, output);
        EXPECT_NE(run.err.find("read-only"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(output), Original);
        EXPECT_EQ(WorkListing(), (std::set<std::string>{"in.txt", "out.txt"}));
    }
    for (const char* name : {"in.txt", "out.txt"})
        fs::permissions(Work(name), fs::perms::owner_write, fs::perm_options::add);
}

} // namespace
