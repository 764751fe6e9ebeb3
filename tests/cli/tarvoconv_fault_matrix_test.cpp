// tarvoconv's fault matrix: faults of the disk, of the files and of the
// data, one row each. Whatever happens, the input and any old output are
// there as they were (or correctly converted), no temporary file is left,
// and the exit code says what happened. Totals are printed at the end.
#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "tarvoconv_test_support.h"

namespace {

using namespace std::string_literals;

struct Totals {
    int rows = 0, survived = 0;
    unsigned long long bytesLost = 0;
} Matrix;

class Summary : public testing::Environment {
    void TearDown() override
    {
        std::printf("tarvoconv fault matrix: %d rows, %d faults survived, %llu bytes lost\n", Matrix.rows,
                    Matrix.survived, Matrix.bytesLost);
    }
};
const testing::Environment* const Registered = testing::AddGlobalTestEnvironment(new Summary);

void ExpectKept(const std::string& what, const std::string& expected, const std::string& found)
{
    EXPECT_TRUE(found == expected) << what << ": " << found.size() << " bytes where " << expected.size();
    if (found != expected)
        Matrix.bytesLost += expected.size();
}

const std::string Koi8 = "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2\n";
const std::string Cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0\n";

std::string Repeat(const std::string& unit, size_t size)
{
    std::string text;
    while (text.size() < size)
        text += unit;
    return text.substr(0, size);
}

// Whatever arrives at fd within 30 s, up to wanted bytes or the end.
std::string ReadFrom(int fd, size_t wanted)
{
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (got.size() < wanted && std::chrono::steady_clock::now() < deadline) {
        pollfd ready = {fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0 || !(ready.revents & (POLLIN | POLLHUP)))
            continue;
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

// Root acting as another user for a while, on every path back to root.
class ActingAs {
public:
    explicit ActingAs(uid_t user) { acting = seteuid(user) == 0; }
    ~ActingAs()
    {
        if (acting && seteuid(0) != 0)
            std::abort();  // the rest of the run would not be root's
    }
    bool acting;
};

class CliFaults;

struct CliFault {
    const char* fault;
    int exitCode;
    bool needsSmallDisk;
    void (CliFaults::*run)(int exitCode);
};

// A row names itself by its fault, in test names and messages.
void PrintTo(const CliFault& row, std::ostream* stream) { *stream << row.fault; }

class CliFaults : public TarvoconvTest, public testing::WithParamInterface<CliFault> {
public:
    void SetUp() override
    {
        TarvoconvTest::SetUp();
        // A 64 KiB disk of the test's own: only root may mount it.
        disk = root / "disk";
        fs::create_directory(disk);
        mounted = mount("tarvoconv-test", disk.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    void TearDown() override
    {
        if (mounted)
            umount(disk.c_str());
        TarvoconvTest::TearDown();
    }

    std::string OnDisk(const std::string& name) const { return (disk / name).string(); }

    int Convert(const std::vector<std::string>& arguments)
    {
        const ToolRun run = Run(arguments);
        if (run.exitCode != 0) {
            EXPECT_NE(run.err.find("tarvoconv: "), std::string::npos) << "a message says why";
        }
        return run.exitCode;
    }

    void DiskFullNewFile(int exitCode)
    {
        const std::string text = Repeat(Koi8, 200000);
        WriteFile(Work("in.txt"), text);
        WriteFile(OnDisk("out.txt"), "old");
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), "-o", OnDisk("out.txt")}), exitCode);
        ExpectKept("input", text, ReadFile(Work("in.txt")));
        ExpectKept("old output", "old", ReadFile(OnDisk("out.txt")));
        EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
    }

    void DiskFullInPlace(int exitCode)
    {
        const std::string text = Repeat(Koi8, 40000);
        WriteFile(OnDisk("in.txt"), text);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", "--in-place", OnDisk("in.txt")}), exitCode);
        ExpectKept("input", text, ReadFile(OnDisk("in.txt")));
        EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
    }

    void ReadOnlyInPlace(int exitCode)
    {
        WriteFile(Work("in.txt"), Koi8);
        fs::permissions(Work("in.txt"), fs::perms::owner_read);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", "--in-place", Work("in.txt")}), exitCode);
        ExpectKept("input", Koi8, ReadFile(Work("in.txt")));
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
    }

    void MissingFolder(int exitCode)
    {
        WriteFile(Work("in.txt"), Koi8);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), "-o", Work("gone") + "/out.txt"}), exitCode);
        ExpectKept("input", Koi8, ReadFile(Work("in.txt")));
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
    }

    void EmptyInput(int exitCode)
    {
        WriteFile(Work("in.txt"), "");
        EXPECT_EQ(Convert({"-n", "-f", "cp1251", "-t", "koi8-r", "--in-place", Work("in.txt")}), exitCode);
        EXPECT_TRUE(fs::exists(Work("in.txt")));
        EXPECT_EQ(ReadFile(Work("in.txt")), "");
    }

    void OnlyCrs(int exitCode)
    {
        WriteFile(Work("in.txt"), std::string(200000, '\r'));
        EXPECT_EQ(Convert({"-n", "-f", "cp1251", "-t", "koi8-r", "--in-place", Work("in.txt")}), exitCode);
        ExpectKept("the one CR of a CR run", "\r", ReadFile(Work("in.txt")));
    }

    void NulsAtBlockEdges(int exitCode)
    {
        std::string text = Repeat(Koi8, 140000), converted = Repeat(Cp1251, 140000);
        for (size_t at : {0, 65535, 65536, 65537, 131071, 131072, 139999})
            text[at] = converted[at] = '\0';
        WriteFile(Work("in.txt"), text);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", "--in-place", Work("in.txt")}), exitCode);
        ExpectKept("converted", converted, ReadFile(Work("in.txt")));
    }

    // A hole of 4 GiB, then 100 bytes of text; the output goes to a pipe
    // whose reader keeps only the end.
    void PastFourGiB(int exitCode)
    {
        const unsigned long long fourGiB = 1ull << 32;
        {
            std::FILE* file = std::fopen(Work("big.txt").c_str(), "wb");
            ASSERT_NE(file, nullptr);
            ASSERT_EQ(ftruncate(fileno(file), static_cast<off_t>(fourGiB)), 0);
            fseeko(file, static_cast<off_t>(fourGiB), SEEK_SET);
            std::fwrite(Koi8.data(), 1, Koi8.size(), file);
            std::fclose(file);
        }
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        unsigned long long total = 0;
        std::string tail;
        std::thread reader([&] {
            char buffer[1 << 16];
            for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) {
                total += static_cast<unsigned long long>(n);
                tail.append(buffer, static_cast<size_t>(n));
                if (tail.size() > 64)
                    tail.erase(0, tail.size() - 64);
            }
            close(ends[0]);
        });
        const ToolRun run = RunWith({"-f", "koi8-r", "-t", "cp1251", Work("big.txt")},
                                    std::fopen("/dev/null", "rb"), fdopen(ends[1], "wb"));
        reader.join();
        EXPECT_EQ(run.exitCode, exitCode) << run.err;
        EXPECT_EQ(total, fourGiB + Koi8.size());
        ExpectKept("the text past 4 GiB, converted", Cp1251, tail.substr(tail.size() - Cp1251.size()));
    }

    // Converts into out, which is no regular file and must stay what it
    // was, with nothing left beside it. True when tarvoconv said it wrote.
    bool ConvertIntoNode(int exitCode, const std::string& out, mode_t type)
    {
        WriteFile(Work("in.txt"), Koi8);
        const int exit = Convert({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), "-o", out});
        EXPECT_EQ(exit, exitCode);
        struct stat status = {};
        EXPECT_TRUE(lstat(out.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == type) << out << " replaced";
        ExpectKept("input", Koi8, ReadFile(Work("in.txt")));
        for (const std::string& name : WorkListing())
            EXPECT_NE(name.rfind(".trv", 0), 0u) << "temporary file left: " << name;
        return exit == 0;
    }

    void FifoAsOutput(int exitCode)
    {
        ASSERT_EQ(mkfifo(Work("out").c_str(), 0600), 0);
        // A reader that waits for no writer; the text fits in the pipe.
        const int reader = open(Work("out").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        const bool written = ConvertIntoNode(exitCode, Work("out"), S_IFIFO);
        ExpectKept("what the reader got", Cp1251, written ? ReadFrom(reader, Cp1251.size()) : "");
        close(reader);
    }

    void DeviceAsOutput(int exitCode)
    {
        // A null device of the test's own.
        if (mknod(Work("out").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            GTEST_SKIP() << "making a device node is not allowed here";
        ConvertIntoNode(exitCode, Work("out"), S_IFCHR);
    }

    // A socket cannot be opened for writing: refused, and still there.
    void SocketAsOutput(int exitCode)
    {
        const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        ASSERT_LT(Work("out").size(), sizeof address.sun_path);
        std::memcpy(address.sun_path, Work("out").c_str(), Work("out").size() + 1);
        ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ConvertIntoNode(exitCode, Work("out"), S_IFSOCK);
        close(listener);
    }

    void TerminalAsOutput(int exitCode)
    {
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        const char* name = grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : nullptr;
        ASSERT_NE(name, nullptr);
        const std::string terminal = name;
        // Raw, so that the terminal passes the bytes as they are.
        const int slave = open(terminal.c_str(), O_RDWR | O_NOCTTY);
        termios settings = {};
        ASSERT_EQ(tcgetattr(slave, &settings), 0);
        cfmakeraw(&settings);
        ASSERT_EQ(tcsetattr(slave, TCSANOW, &settings), 0);
        const bool written = ConvertIntoNode(exitCode, terminal, S_IFCHR);
        ExpectKept("what the terminal got", Cp1251, written ? ReadFrom(master, Cp1251.size()) : "");
        close(slave);
        close(master);
    }

    // What /dev/stdout is: a link to the descriptor's entry in /proc.
    void StandardOutputLinkAsOutput(int exitCode)
    {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        fs::create_symlink("/proc/self/fd/" + std::to_string(ends[1]), Work("stdout"));
        const bool written = ConvertIntoNode(exitCode, Work("stdout"), S_IFLNK);
        close(ends[1]);
        ExpectKept("what the pipe got", Cp1251, written ? ReadFrom(ends[0], Cp1251.size()) : "");
        close(ends[0]);
    }

    // As with iconv: both are inputs, to standard output.
    void SecondFileName(int exitCode)
    {
        WriteFile(Work("a.txt"), Koi8);
        WriteFile(Work("b.txt"), Koi8);
        const ToolRun run = Run({"-f", "koi8-r", "-t", "cp1251", Work("a.txt"), Work("b.txt")});
        EXPECT_EQ(run.exitCode, exitCode);
        EXPECT_EQ(run.out, Cp1251 + Cp1251);
        ExpectKept("the second input", Koi8, ReadFile(Work("b.txt")));
    }

    void InPlaceKeepsIdentity(int exitCode)
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "only root may own another user's file";
        WriteFile(Work("in.txt"), Koi8);
        ASSERT_EQ(chown(Work("in.txt").c_str(), 1000, 1000), 0);
        ASSERT_EQ(chmod(Work("in.txt").c_str(), 0640), 0);
        const bool attributes = setxattr(Work("in.txt").c_str(), "user.tarvo", "kept", 4, 0) == 0;
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", "--in-place", Work("in.txt")}), exitCode);
        ExpectKept("converted", Cp1251, ReadFile(Work("in.txt")));
        struct stat status = {};
        ASSERT_EQ(stat(Work("in.txt").c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 1000u);
        EXPECT_EQ(status.st_gid, 1000u);
        EXPECT_EQ(status.st_mode & 07777, 0640u);
        char value[8];
        const ssize_t length = getxattr(Work("in.txt").c_str(), "user.tarvo", value, sizeof value);
        if (attributes) {
            EXPECT_EQ(length > 0 ? std::string(value, static_cast<size_t>(length)) : "", "kept");
        }
    }

    // Root's file in a folder anyone may write: the folder would let the
    // rename through, the file's owner and permissions say no.
    void InPlaceNotYours(int exitCode)
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "acting as another user needs root";
        WriteFile(Work("in.txt"), Koi8);
        chmod(Work("in.txt").c_str(), 0644);
        fs::permissions(root, fs::perms::all);
        fs::permissions(work, fs::perms::all);
        {
            ActingAs nobody(65534);
            ASSERT_TRUE(nobody.acting);
            EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", "--in-place", Work("in.txt")}), exitCode);
            EXPECT_EQ(Convert({"--force", "-f", "koi8-r", "-t", "cp1251", "--in-place", Work("in.txt")}), exitCode);
        }
        ExpectKept("input", Koi8, ReadFile(Work("in.txt")));
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
    }

    void InPlaceHardLinked(int exitCode)
    {
        WriteFile(Work("in.txt"), Koi8);
        fs::create_hard_link(Work("in.txt"), Work("other.txt"));
        const ToolRun refused = Run({"-f", "koi8-r", "-t", "cp1251", "--in-place", Work("in.txt")});
        EXPECT_EQ(refused.exitCode, exitCode);
        ExpectFileFailure(refused, Work("in.txt"));
        ExpectKept("input", Koi8, ReadFile(Work("in.txt")));
        EXPECT_EQ(Convert({"--force", "-f", "koi8-r", "-t", "cp1251", "--in-place", Work("in.txt")}), 0);
        ExpectKept("converted under the name given", Cp1251, ReadFile(Work("in.txt")));
        ExpectKept("the other name", Koi8, ReadFile(Work("other.txt")));
    }

    void InPlaceBinary(int exitCode)
    {
        const std::string data = Repeat(Koi8 + std::string("\x01\x02\0\x03", 4), 4000);
        WriteFile(Work("data.bin"), data);
        const ToolRun skipped = Run({"-f", "koi8-r", "-t", "cp1251", "--in-place", Work("data.bin")});
        EXPECT_EQ(skipped.exitCode, exitCode);
        ExpectFileFailure(skipped, Work("data.bin"));
        ExpectKept("data", data, ReadFile(Work("data.bin")));
        EXPECT_EQ(Convert({"--force", "-f", "koi8-r", "-t", "cp1251", "--in-place", Work("data.bin")}), 0);
        EXPECT_NE(ReadFile(Work("data.bin")), data) << "--force converts it";
    }

    // A sound file read as UTF-16, as text: its quiet samples are code
    // units of controls, where UTF-16 text has zero bytes but none.
    void InPlaceBinaryAsUtf16(int exitCode)
    {
        std::string wave = "RIFF\x04\x3E\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x80\x3E\0\0\x02\0\x10\0"
                           "data\xE0\x3E\0\0"s;
        for (int n = 0; n < 8000; ++n) {
            const int sample = (n * 37 % 81) - 40;  // quiet: -40..40
            wave += {static_cast<char>(sample & 0xFF), static_cast<char>(sample >> 8 & 0xFF)};
        }
        WriteFile(Work("sound.wav"), wave);
        const std::string text = Repeat("\x1F\x04\x40\x04\x38\x04\n\0"s, 8000);  // "При" in UTF-16
        WriteFile(Work("text.txt"), text);
        for (const char* source : {"utf-16", "utf-16le"}) {
            const ToolRun skipped = Run({"-f", source, "-t", "utf-8", "--in-place", Work("sound.wav")});
            EXPECT_EQ(skipped.exitCode, exitCode);
            ExpectFileFailure(skipped, Work("sound.wav"));
            ExpectKept("data", wave, ReadFile(Work("sound.wav")));
        }
        EXPECT_EQ(Convert({"-f", "utf-16", "-t", "utf-8", "--in-place", Work("text.txt")}), 0);
        ExpectKept("UTF-16 text, converted", Repeat("\xD0\x9F\xD1\x80\xD0\xB8\n", 7000), ReadFile(Work("text.txt")));
        EXPECT_EQ(Convert({"--force", "-f", "utf-16", "-t", "utf-8", "--in-place", Work("sound.wav")}), 0);
        EXPECT_NE(ReadFile(Work("sound.wav")), wave) << "--force converts it";
        EXPECT_EQ(WorkListing(), (std::set<std::string>{"sound.wav", "text.txt"}));
    }

    // Text for its first 64 KiB and more, then data: found as it is read.
    void InPlaceBinaryLater(int exitCode)
    {
        const std::string data = Repeat(Koi8, 70000) + Repeat("\x01\x02\0\x03"s, 4000) + Koi8;
        WriteFile(Work("data.bin"), data);
        for (const char* destination : {"cp1251", "utf-8"}) {
            const ToolRun skipped = Run({"-f", "koi8-r", "-t", destination, "--in-place", Work("data.bin")});
            EXPECT_EQ(skipped.exitCode, exitCode);
            ExpectFileFailure(skipped, Work("data.bin"));
            EXPECT_NE(skipped.err.find("binary data"), std::string::npos) << skipped.err;
            ExpectKept("data", data, ReadFile(Work("data.bin")));
            EXPECT_EQ(WorkListing(), std::set<std::string>{"data.bin"});
        }
    }

    // Three letters that make no word in any page (cp1251 "АКЗ", KOI8-R
    // "юкз"): no page is sure.
    void AutoUnsure(int exitCode)
    {
        for (const std::string& text : {std::string("\xC0\xCA\xC7\n")}) {
            WriteFile(Work("in.txt"), text);
            const ToolRun run = Run({"-f", "auto", "-t", "utf-8", Work("in.txt"), "-o", Work("out.txt")});
            EXPECT_EQ(run.exitCode, exitCode);
            ExpectFileFailure(run, Work("in.txt"));
            EXPECT_NE(run.err.find(" at best, "), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("name it with -f"), std::string::npos) << run.err;
            EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
        }
    }

    void AutoAscii(int exitCode)
    {
        WriteFile(Work("in.txt"), "plain\n");
        const ToolRun run = Run({"-f", "auto", "-t", "utf-16", Work("in.txt")});
        EXPECT_EQ(run.exitCode, exitCode) << run.err;
        ExpectKept("the text in UTF-16", std::string("\xFF\xFEp\0l\0a\0i\0n\0\n\0", 14), run.out);
    }

    void Utf8MarkKept(int exitCode)
    {
        const std::string text = "\xEF\xBB\xBF\xD1\x8F\n";
        WriteFile(Work("in.txt"), text);
        EXPECT_EQ(Convert({"-f", "utf-8", "-t", "utf-8", "--in-place", Work("in.txt")}), exitCode);
        ExpectKept("the text, mark and all", text, ReadFile(Work("in.txt")));
    }

    // The first file fails with a CR held back; the empty one after it must
    // not end up with that CR.
    void EmptyAfterFailed(int exitCode)
    {
        const std::string text = Repeat("x\r", 40000);
        WriteFile(OnDisk("full.txt"), text);
        WriteFile(Work("empty.txt"), "");
        EXPECT_EQ(Convert({"-n", "-f", "cp1251", "-t", "koi8-r", "--in-place", OnDisk("full.txt"),
                           Work("empty.txt")}),
                  exitCode);
        ExpectKept("input", text, ReadFile(OnDisk("full.txt")));
        EXPECT_EQ(ReadFile(Work("empty.txt")), "");
    }

    fs::path disk;
    bool mounted = false;
};

const CliFault Faults[] = {
    {"disk full, new file", 1, true, &CliFaults::DiskFullNewFile},
    {"disk full, in place", 1, true, &CliFaults::DiskFullInPlace},
    {"read-only file in place", 1, false, &CliFaults::ReadOnlyInPlace},
    {"output folder missing", 1, false, &CliFaults::MissingFolder},
    {"empty input", 0, false, &CliFaults::EmptyInput},
    {"only CRs", 0, false, &CliFaults::OnlyCrs},
    {"NULs at block edges", 0, false, &CliFaults::NulsAtBlockEdges},
    {"4 GiB + 100 bytes sparse input", 0, false, &CliFaults::PastFourGiB},
    {"FIFO as output", 0, false, &CliFaults::FifoAsOutput},
    {"device node as output", 0, false, &CliFaults::DeviceAsOutput},
    {"socket as output", 1, false, &CliFaults::SocketAsOutput},
    {"terminal as output", 0, false, &CliFaults::TerminalAsOutput},
    {"link to standard output as output", 0, false, &CliFaults::StandardOutputLinkAsOutput},
    {"second file name", 0, false, &CliFaults::SecondFileName},
    {"another user's file in place", 0, false, &CliFaults::InPlaceKeepsIdentity},
    {"file not yours in place", 1, false, &CliFaults::InPlaceNotYours},
    {"hard-linked file in place", 1, false, &CliFaults::InPlaceHardLinked},
    {"binary file in place", 1, false, &CliFaults::InPlaceBinary},
    {"binary file in place, read as UTF-16", 1, false, &CliFaults::InPlaceBinaryAsUtf16},
    {"text, then binary data after 64 KiB, in place", 1, false, &CliFaults::InPlaceBinaryLater},
    {"unsure detection", 1, false, &CliFaults::AutoUnsure},
    {"pure ASCII detected", 0, false, &CliFaults::AutoAscii},
    {"UTF-8 to UTF-8 with a byte order mark", 0, false, &CliFaults::Utf8MarkKept},
    {"empty file after a failed one", 1, true, &CliFaults::EmptyAfterFailed},
};

TEST_P(CliFaults, LeaveNothingLostOrStranded)
{
    if (GetParam().needsSmallDisk && !mounted)
        GTEST_SKIP() << GetParam().fault << ": mounting a small disk is not allowed here";
    (this->*GetParam().run)(GetParam().exitCode);
    if (IsSkipped())
        return;
    ++Matrix.rows;
    if (!HasFailure())
        ++Matrix.survived;
}

std::string RowName(const testing::TestParamInfo<CliFault>& info)
{
    std::string name;
    for (const char* c = info.param.fault; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cli, CliFaults, testing::ValuesIn(Faults), RowName);

} // namespace
