// Failures and file modes that only a POSIX system can set up in-process.
#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <iterator>
#include <vector>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_posix = TarvoconvTest;

mode_t ModeOf(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST_F(tarvoconv_posix, FullStandardOutputIsAnError)
{
    WriteFile(Work("in.txt"), std::string(1000, 'x'));
    const ToolRun run = RunWith({"-f", "1", "-t", "2", Work("in.txt")},
                                std::fopen(Work("in.txt").c_str(), "rb"),
                                std::fopen("/dev/full", "wb"));
    ExpectFileFailure(run, "standard output");
    EXPECT_NE(run.err.find(std::strerror(ENOSPC)), std::string::npos) << run.err;
}

TEST_F(tarvoconv_posix, FileSizeLimitKeepsOldOutputAndInput)
{
    const std::string large(100000, 'x');
    WriteFile(Work("in.txt"), large);
    WriteFile(Work("out.txt"), "old");

    // The limit makes writes past 4 KiB fail with EFBIG instead of raising a
    // signal; the captured stderr stays far below it.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    const ToolRun replacing = Run({"-f", "1", "-t", "2", Work("in.txt"), "-o", Work("out.txt")});
    const ToolRun inPlace = Run({"-f", "1", "-t", "2", "--in-place", Work("in.txt")});
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    ExpectFileFailure(replacing, Work("out.txt"));
    EXPECT_NE(replacing.err.find(std::strerror(EFBIG)), std::string::npos) << replacing.err;
    ExpectFileFailure(inPlace, Work("in.txt"));
    EXPECT_EQ(ReadFile(Work("out.txt")), "old");
    EXPECT_TRUE(ReadFile(Work("in.txt")) == large);
    EXPECT_EQ(WorkListing(), (std::set<std::string>{"in.txt", "out.txt"}));
}

TEST_F(tarvoconv_posix, OutputModeFollowsUmaskOrTheReplacedFile)
{
    WriteFile(Work("in.txt"), "text");
    WriteFile(Work("kept.txt"), "old");
    chmod(Work("kept.txt").c_str(), 0604);
    const mode_t previousMask = umask(027);
    const int created = Run({"-f", "1", "-t", "2", Work("in.txt"), "-o", Work("new.txt")}).exitCode;
    const int replaced = Run({"-f", "1", "-t", "2", Work("in.txt"), "-o", Work("kept.txt")}).exitCode;
    umask(previousMask);

    EXPECT_EQ(created, 0);
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(ModeOf(Work("new.txt")), 0640u);
    EXPECT_EQ(ModeOf(Work("kept.txt")), 0604u);
    EXPECT_EQ(ReadFile(Work("kept.txt")), "text");
}

// A user without root's powers (nobody, in no other group, when the tests
// run as root), for as long as it lives: the system clears set-user-ID bits
// of a file anyone but root writes.
class Unprivileged {
public:
    Unprivileged()
    {
        if (geteuid() != 0)
            return;
        groups_.resize(static_cast<size_t>(getgroups(0, nullptr)));
        getgroups(static_cast<int>(groups_.size()), groups_.data());
        root_ = setgroups(0, nullptr) == 0 && setegid(65534) == 0 && seteuid(65534) == 0;
    }
    ~Unprivileged()
    {
        if (root_ && (seteuid(0) != 0 || setegid(0) != 0 || setgroups(groups_.size(), groups_.data()) != 0))
            std::abort();  // the rest of the run would not be root's
    }

private:
    bool root_ = false;
    std::vector<gid_t> groups_;
};

TEST_F(tarvoconv_posix, SetUserIdBitsAreKeptWhereCpKeepsThem)
{
    const bool asRoot = geteuid() == 0;
    const uid_t user = asRoot ? 65534 : geteuid();
    const gid_t group = asRoot ? 65534 : getegid();
    fs::permissions(root, fs::perms::all);
    fs::permissions(work, fs::perms::all);
    const struct {
        const char* name;
        bool foreignGroup;  // the file's group is none of the user's (only root can arrange that)
        mode_t mode, converted;
    } files[] = {
        {"program.sh", false, 04755, 04755},
        {"shared.sh", false, 02775, 02775},
        {"foreign.sh", true, 06755, 0755},  // as cp -p: neither bit may stay
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        if (file.foreignGroup && !asRoot)
            continue;
        WriteFile(Work(file.name), Bytes({0xE1, 0xD1, '\n'}));
        ASSERT_EQ(chown(Work(file.name).c_str(), user, file.foreignGroup ? 0 : group), 0);
        ASSERT_EQ(chmod(Work(file.name).c_str(), file.mode), 0);
        ToolRun run;
        {
            Unprivileged caller;
            run = Run({"-f", "koi8-r", "-t", "cp1251", "--in-place", Work(file.name)});
        }
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadFile(Work(file.name)), Bytes({0xC0, 0xFF, '\n'}));
        EXPECT_EQ(ModeOf(Work(file.name)), file.converted);
    }
}

// As iconv, which opens the name it is given: the file a link leads to is
// written, and the link stays.
TEST_F(tarvoconv_posix, SymbolicLinksLeadTheOutputToTheFileTheyName)
{
    const std::string koi8 = Bytes({0xE1, 0xD1}), windows = Bytes({0xC0, 0xFF});
    fs::create_directory(Work("real"));
    WriteFile(Work("in.txt"), koi8);
    const struct {
        std::vector<std::string> arguments;  // after -f koi8-r -t cp1251
        const char* target;                  // in real/, what the link leads to
        bool exists;                         // before the run
    } runs[] = {
        {{"--in-place", Work("link.txt")}, "text.txt", true},
        {{"-o", Work("link.txt"), Work("in.txt")}, "text.txt", true},
        {{"-o", Work("link.txt"), Work("in.txt")}, "new.txt", false},
        {{"-o", Work("chain.txt"), Work("in.txt")}, "new.txt", false},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(::testing::PrintToString(run.arguments) + " to " + run.target);
        fs::remove_all(Work("real"));
        fs::create_directory(Work("real"));
        if (run.exists)
            WriteFile(Work("real") + "/" + run.target, koi8);
        fs::remove(Work("link.txt"));
        fs::remove(Work("chain.txt"));
        fs::create_symlink(std::string("real/") + run.target, Work("link.txt"));
        fs::create_symlink("link.txt", Work("chain.txt"));
        std::vector<std::string> arguments = {"-f", "koi8-r", "-t", "cp1251"};
        arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
        const ToolRun result = Run(arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(fs::is_symlink(Work("link.txt")) && fs::is_symlink(Work("chain.txt")));
        EXPECT_EQ(ReadFile(Work("real") + "/" + run.target), windows);
        EXPECT_EQ(WorkListing(), (std::set<std::string>{"chain.txt", "in.txt", "link.txt", "real"}));
        EXPECT_EQ(std::distance(fs::directory_iterator(Work("real")), fs::directory_iterator()), 1);
    }
    // Links in a circle lead nowhere: nothing is written.
    fs::remove(Work("link.txt"));
    fs::create_symlink("chain.txt", Work("link.txt"));
    ExpectFileFailure(Run({"-f", "koi8-r", "-t", "cp1251", "-o", Work("link.txt"), Work("in.txt")}), Work("link.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Work("real")), fs::directory_iterator()), 1);
}

} // namespace
