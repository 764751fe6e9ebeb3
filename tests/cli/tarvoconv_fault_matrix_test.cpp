// tarvoconv's fault matrix: faults of the disk, of the files and of the
// data, one row each. Whatever happens, the input and any old output are
// there as they were (or correctly converted), no temporary file is left,
// and the exit code says what happened. Totals are printed at the end.
#include <sys/mount.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <thread>

#include "tarvoconv_test_support.h"

namespace {

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
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), OnDisk("out.txt")}), exitCode);
        ExpectKept("input", text, ReadFile(Work("in.txt")));
        ExpectKept("old output", "old", ReadFile(OnDisk("out.txt")));
        EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
    }

    void DiskFullInPlace(int exitCode)
    {
        const std::string text = Repeat(Koi8, 40000);
        WriteFile(OnDisk("in.txt"), text);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", OnDisk("in.txt"), OnDisk("in.txt")}), exitCode);
        ExpectKept("input", text, ReadFile(OnDisk("in.txt")));
        EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
    }

    void ReadOnlyInPlace(int exitCode)
    {
        WriteFile(Work("in.txt"), Koi8);
        fs::permissions(Work("in.txt"), fs::perms::owner_read);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), Work("in.txt")}), exitCode);
        ExpectKept("input", Koi8, ReadFile(Work("in.txt")));
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
    }

    void MissingFolder(int exitCode)
    {
        WriteFile(Work("in.txt"), Koi8);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), Work("gone") + "/out.txt"}), exitCode);
        ExpectKept("input", Koi8, ReadFile(Work("in.txt")));
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
    }

    void EmptyInput(int exitCode)
    {
        WriteFile(Work("in.txt"), "");
        EXPECT_EQ(Convert({"-n", "-f", "cp1251", "-t", "koi8-r", Work("in.txt"), Work("in.txt")}), exitCode);
        EXPECT_TRUE(fs::exists(Work("in.txt")));
        EXPECT_EQ(ReadFile(Work("in.txt")), "");
    }

    void OnlyCrs(int exitCode)
    {
        WriteFile(Work("in.txt"), std::string(200000, '\r'));
        EXPECT_EQ(Convert({"-n", "-f", "cp1251", "-t", "koi8-r", Work("in.txt"), Work("in.txt")}), exitCode);
        ExpectKept("the one CR of a CR run", "\r", ReadFile(Work("in.txt")));
    }

    void NulsAtBlockEdges(int exitCode)
    {
        std::string text = Repeat(Koi8, 140000), converted = Repeat(Cp1251, 140000);
        for (size_t at : {0, 65535, 65536, 65537, 131071, 131072, 139999})
            text[at] = converted[at] = '\0';
        WriteFile(Work("in.txt"), text);
        EXPECT_EQ(Convert({"-f", "koi8-r", "-t", "cp1251", Work("in.txt"), Work("in.txt")}), exitCode);
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
};

TEST_P(CliFaults, LeaveNothingLostOrStranded)
{
    if (GetParam().needsSmallDisk && !mounted)
        GTEST_SKIP() << GetParam().fault << ": mounting a small disk is not allowed here";
    (this->*GetParam().run)(GetParam().exitCode);
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
