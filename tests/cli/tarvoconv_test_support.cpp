#include "tarvoconv_test_support.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "tarvoconv.h"

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary) << data;
}

void TarvoconvTest::SetUp()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    // A row of a parameterized suite is named "Suite/row": one folder, not two.
    std::string name = test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    root = fs::temp_directory_path() / ("tarvoconv-" + name + "-" + std::to_string(stamp));
    work = root / "work";
    fs::create_directories(work);
}

void TarvoconvTest::TearDown()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::set<std::string> TarvoconvTest::WorkListing() const
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(work))
        names.insert(entry.path().filename().u8string());
    return names;
}

ToolRun TarvoconvTest::Run(const std::vector<std::string>& arguments, const std::string& standardInput)
{
    WriteFile(root / "stdin", standardInput);
    ToolRun run = RunWith(arguments, std::fopen((root / "stdin").string().c_str(), "rb"),
                          std::fopen((root / "stdout").string().c_str(), "wb"));
    run.out = ReadFile(root / "stdout");
    return run;
}

ToolRun TarvoconvTest::RunWith(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out)
{
    std::vector<std::string> storage = {"tarvoconv"};
    storage.insert(storage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : storage)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    const std::string errPath = (root / "stderr").string();
    std::FILE* err = std::fopen(errPath.c_str(), "wb");
    EXPECT_TRUE(in != nullptr && out != nullptr && err != nullptr);
    ToolRun run;
    run.exitCode = RunTarvoconv(static_cast<int>(storage.size()), argv.data(), in, out, err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    run.err = ReadFile(errPath);
    return run;
}

void ExpectFileFailure(const ToolRun& run, const std::string& name)
{
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    const std::string prefix = "tarvoconv: " + name + ": ";
    EXPECT_EQ(run.err.compare(0, prefix.size(), prefix), 0) << run.err;
    EXPECT_GT(run.err.size(), prefix.size() + 1) << "no reason given: " << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}
