#include "fault_matrix.h"

#include <windows.h>

#include <cctype>
#include <cstdio>

#include "main_window.h"

namespace {

struct Totals {
    int rows = 0;
    int survived = 0;
    unsigned long long bytesLost = 0;
} Matrix;

class Summary : public testing::Environment {
public:
    void TearDown() override
    {
        std::printf("fault matrix: %d rows, %d faults survived, %llu bytes lost\n", Matrix.rows, Matrix.survived,
                    Matrix.bytesLost);
    }
};

const testing::Environment* const Registered = testing::AddGlobalTestEnvironment(new Summary);

} // namespace

void ExpectKept(const std::string& what, const std::string& expected, const std::string& found)
{
    EXPECT_TRUE(found == expected) << what << ": " << found.size() << " bytes where " << expected.size()
                                   << " were expected";
    if (found != expected)
        Matrix.bytesLost += expected.size();
}

bool ProgramAnswers()
{
    DWORD_PTR result = 0;
    return MainWindow && IsWindow(MainWindow) &&
           SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
}

void CountRow(bool programMustAnswer)
{
    if (programMustAnswer) {
        EXPECT_TRUE(ProgramAnswers()) << "the program still runs and answers";
    }
    ++Matrix.rows;
    if (!testing::Test::HasFailure())
        ++Matrix.survived;
}

std::string SmallDisk()
{
    ULARGE_INTEGER total = {};
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR || !GetDiskFreeSpaceExA("T:\\", nullptr, &total, nullptr) ||
        total.QuadPart > 4 * 1024 * 1024)
        return "";
    return "T:";
}

std::string RowName(const char* fault)
{
    std::string name;
    for (const char* c = fault; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}
