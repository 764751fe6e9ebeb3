#include "output_file.h"

#include <cerrno>
#include <cstring>

namespace {

const char ReadOnlyReason[] = "the file is read-only; it was left as it was";

} // namespace

#ifdef _WIN32

#include <io.h>
#include <windows.h>

namespace {

std::string DirectoryOf(const std::string& path)
{
    const std::string::size_type separator = path.find_last_of("/\\:");
    if (separator == std::string::npos)
        return ".";
    // "C:name", "\name" and "C:\name": the separator belongs to the directory.
    const bool keepSeparator = path[separator] == ':' || separator == 0 ||
                               (separator == 2 && path[1] == ':');
    return path.substr(0, keepSeparator ? separator + 1 : separator);
}

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  code, 0, text, sizeof text, nullptr);
    while (length > 0 && std::strchr("\r\n. ", text[length - 1]) != nullptr)
        --length;
    if (length == 0)
        return "system error " + std::to_string(code);
    return std::string(text, length);
}

std::string ErrnoText()
{
    return std::strerror(errno != 0 ? errno : EIO);
}

} // namespace

bool BeginOutputFile(const std::string& targetPath, PendingOutput& output, std::string& reason)
{
    output = PendingOutput();
    output.targetPath = targetPath;
    // The rename would go through, but the user marked the file as one
    // that must not change.
    const DWORD attributes = GetFileAttributesA(targetPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (attributes & FILE_ATTRIBUTE_READONLY)) {
        reason = ReadOnlyReason;
        return false;
    }
    // GetTempFileNameA writes at most MAX_PATH characters and creates the file.
    char name[MAX_PATH];
    if (GetTempFileNameA(DirectoryOf(targetPath).c_str(), "trv", 0, name) == 0) {
        reason = LastErrorText();
        return false;
    }
    output.temporaryPath = name;
    output.stream = std::fopen(name, "wb");
    if (output.stream == nullptr) {
        reason = ErrnoText();
        DeleteFileA(name);
        output.temporaryPath.clear();
        return false;
    }
    return true;
}

bool CommitOutputFile(PendingOutput& output, std::string& reason)
{
    std::FILE* stream = output.stream;
    output.stream = nullptr;
    reason.clear();
    errno = 0;
    if (std::fflush(stream) != 0 || _commit(_fileno(stream)) != 0)
        reason = ErrnoText();
    errno = 0;
    if (std::fclose(stream) != 0 && reason.empty())
        reason = ErrnoText();
    if (reason.empty() &&
        !MoveFileExA(output.temporaryPath.c_str(), output.targetPath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        reason = LastErrorText();
    if (!reason.empty())
        DeleteFileA(output.temporaryPath.c_str());
    output.temporaryPath.clear();
    return reason.empty();
}

void DiscardOutputFile(PendingOutput& output)
{
    if (output.stream != nullptr)
        std::fclose(output.stream);
    output.stream = nullptr;
    if (!output.temporaryPath.empty())
        DeleteFileA(output.temporaryPath.c_str());
    output.temporaryPath.clear();
}

#else

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

std::string DirectoryOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// mkstemp creates files only its owner can read; the result should look as
// if it had been written in place.
mode_t ModeForTarget(const std::string& targetPath)
{
    struct stat existing;
    if (stat(targetPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        return existing.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Renaming onto a symbolic link would replace the link, so that converting
// a file in place through a link would leave the file itself unconverted.
std::string ResolvedTarget(const std::string& targetPath)
{
    struct stat link;
    if (lstat(targetPath.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return targetPath;
    char* resolved = realpath(targetPath.c_str(), nullptr);
    if (resolved == nullptr)
        return targetPath;  // a dangling link is replaced like a file
    const std::string result = resolved;
    std::free(resolved);
    return result;
}

int ErrnoOrIo()
{
    return errno != 0 ? errno : EIO;
}

} // namespace

bool BeginOutputFile(const std::string& targetPath, PendingOutput& output, std::string& reason)
{
    output = PendingOutput();
    output.targetPath = ResolvedTarget(targetPath);
    // The rename would go through (and root may write anything), but the
    // user marked the file as one that must not change.
    struct stat existing;
    if (stat(output.targetPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        !(existing.st_mode & S_IWUSR)) {
        reason = ReadOnlyReason;
        return false;
    }
    const std::string pattern = DirectoryOf(output.targetPath) + "/.trvXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        reason = std::strerror(ErrnoOrIo());
        return false;
    }
    if (fchmod(descriptor, ModeForTarget(output.targetPath)) == 0)
        output.stream = fdopen(descriptor, "wb");
    if (output.stream == nullptr) {
        reason = std::strerror(ErrnoOrIo());
        close(descriptor);
        unlink(name.data());
        return false;
    }
    output.temporaryPath = name.data();
    return true;
}

bool CommitOutputFile(PendingOutput& output, std::string& reason)
{
    std::FILE* stream = output.stream;
    output.stream = nullptr;
    int error = 0;
    errno = 0;
    if (std::fflush(stream) != 0 || fsync(fileno(stream)) != 0)
        error = ErrnoOrIo();
    errno = 0;
    if (std::fclose(stream) != 0 && error == 0)
        error = ErrnoOrIo();
    if (error == 0 && std::rename(output.temporaryPath.c_str(), output.targetPath.c_str()) != 0)
        error = ErrnoOrIo();
    if (error != 0)
        unlink(output.temporaryPath.c_str());
    output.temporaryPath.clear();
    if (error != 0)
        reason = std::strerror(error);
    return error == 0;
}

void DiscardOutputFile(PendingOutput& output)
{
    if (output.stream != nullptr)
        std::fclose(output.stream);
    output.stream = nullptr;
    if (!output.temporaryPath.empty())
        unlink(output.temporaryPath.c_str());
    output.temporaryPath.clear();
}

#endif
