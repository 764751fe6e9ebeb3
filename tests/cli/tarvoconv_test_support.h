// Runs tarvoconv in-process against files in a directory of each test's own.
#pragma once

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string Bytes(std::initializer_list<int> values);
std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, const std::string& data);

// Every test gets an empty work directory; the files that stand in for the
// standard streams live beside it, so that listing work shows exactly what
// tarvoconv left there.
class TarvoconvTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Work(const std::string& name) const { return (work / name).string(); }
    std::set<std::string> WorkListing() const;

    // Standard input holds the given bytes; standard output is captured.
    ToolRun Run(const std::vector<std::string>& arguments, const std::string& standardInput = "");
    // The same with the caller's streams, which Run closes.
    ToolRun RunWith(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out);

    fs::path root;
    fs::path work;
};

// Exit code 1, one "tarvoconv: NAME: reason" line, nothing on standard output.
void ExpectFileFailure(const ToolRun& run, const std::string& name);
