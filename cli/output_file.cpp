#include "output_file.h"

#include <cerrno>
#include <cstring>

#include "translation.h"

namespace {

const char ReadOnlyReason[] = N_("the file is read-only; it was left as it was");

} // namespace

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cwchar>

#include "file_names.h"

namespace {

std::wstring DirectoryOf(const std::wstring& path)
{
    const std::wstring::size_type separator = path.find_last_of(L"/\\:");
    if (separator == std::wstring::npos)
        return L".";
    // "C:name", "\name" and "C:\name": the separator belongs to the directory.
    const bool keepSeparator = path[separator] == L':' || separator == 0 ||
                               (separator == 2 && path[1] == L':');
    return path.substr(0, keepSeparator ? separator + 1 : separator);
}

// The marks a user gives a file, which a file written anew in its place
// keeps: hidden, system, and left out of the search index.
const DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string ErrnoText()
{
    return ErrorText(errno != 0 ? errno : EIO);
}

// NUL, CON, COM1 and the like, also in a folder ("C:\out\nul") or with an
// extension ("nul.txt" before Windows 11), and "\\.\" names: the system
// takes them for devices, whose full path it gives as "\\.\NAME". A
// temporary file renamed over one of them would fail in a baffling way, or
// replace the device with a file.
bool NamesDevice(const std::wstring& path)
{
    const wchar_t prefix[] = L"\\\\.\\";
    wchar_t full[16];
    const DWORD length = GetFullPathNameW(path.c_str(), sizeof full / sizeof full[0], full, nullptr);
    return path.compare(0, 4, prefix) == 0 || (length > 0 && length < 16 && std::wcsncmp(full, prefix, 4) == 0);
}

// directory, then name: a folder that ends in a separator, and a drive's
// own folder ("C:"), get no second one.
std::wstring JoinedPath(const std::wstring& directory, const std::wstring& name)
{
    const wchar_t last = directory.empty() ? L'\\' : directory.back();
    return last == L'\\' || last == L'/' || last == L':' ? directory + name : directory + L'\\' + name;
}

// A new, empty file "trvXXXX.tmp" in directory, as the system names
// temporary files, open for writing: in the target's own folder, so that
// the replacement is a rename on one volume. Made here rather than by
// GetTempFileNameW, which takes a folder of fewer than MAX_PATH characters
// and writes into a buffer of that size.
HANDLE CreateTemporaryFile(const std::wstring& directory, std::wstring& name)
{
    static unsigned unique = GetTickCount();
    for (int tries = 0; tries < 0x10000; ++tries) {
        wchar_t file[16];
        std::swprintf(file, sizeof file / sizeof *file, L"trv%04X.tmp", ++unique & 0xFFFF);
        const std::wstring candidate = JoinedPath(directory, file);
        const HANDLE handle = CreateFileW(SystemPath(candidate).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            name = candidate;
            return handle;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteThroughHandle(HANDLE target, PendingOutput& output, std::string& reason)
{
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(target), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        reason = ErrnoText();
        CloseHandle(target);
        return false;
    }
    output.stream = _fdopen(descriptor, "wb");
    if (output.stream == nullptr) {
        reason = ErrnoText();
        _close(descriptor);
        return false;
    }
    output.direct = true;
    return true;
}

} // namespace

bool BeginOutputFile(const std::string& targetPath, PendingOutput& output, std::string& reason)
{
    output = PendingOutput();
    output.targetPath = targetPath;
    const std::wstring target = WideFromUtf8(targetPath);
    // NUL, CON, a named pipe: anything but a file on a disk is written to
    // through the handle, never renamed over.
    const HANDLE existing = CreateFileW(SystemPath(target).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (existing == INVALID_HANDLE_VALUE && NamesDevice(target)) {
        reason = LastErrorText();
        return false;
    }
    if (existing != INVALID_HANDLE_VALUE) {
        if (GetFileType(existing) != FILE_TYPE_DISK)
            return WriteThroughHandle(existing, output, reason);
        CloseHandle(existing);
    }
    // The rename would go through, but the user marked the file as one
    // that must not change.
    const DWORD attributes = GetFileAttributesW(SystemPath(target).c_str());
    const bool file = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (file && (attributes & FILE_ATTRIBUTE_READONLY)) {
        reason = _(ReadOnlyReason);
        return false;
    }
    // What a user marked the file as is kept; a new file is one to back up.
    output.replacing = file;
    output.mode = file ? (attributes & KeptAttributes) | FILE_ATTRIBUTE_ARCHIVE : 0;
    std::wstring name;
    const HANDLE temporary = CreateTemporaryFile(DirectoryOf(target), name);
    if (temporary == INVALID_HANDLE_VALUE) {
        reason = LastErrorText();
        return false;
    }
    errno = 0;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(temporary), _O_WRONLY | _O_BINARY);
    if (descriptor >= 0)
        output.stream = _fdopen(descriptor, "wb");
    if (output.stream == nullptr) {
        reason = ErrnoText();
        if (descriptor >= 0)
            _close(descriptor);
        else
            CloseHandle(temporary);
        DeleteFileW(SystemPath(name).c_str());
        return false;
    }
    output.temporaryPath = Utf8FromWide(name);
    return true;
}

bool CommitOutputFile(PendingOutput& output, std::string& reason)
{
    std::FILE* stream = output.stream;
    output.stream = nullptr;
    reason.clear();
    errno = 0;
    if (std::fflush(stream) != 0 || (!output.direct && _commit(_fileno(stream)) != 0))
        reason = ErrnoText();
    errno = 0;
    if (std::fclose(stream) != 0 && reason.empty())
        reason = ErrnoText();
    if (output.direct)
        return reason.empty();
    const std::wstring temporary = SystemPath(output.temporaryPath);
    // The last step before the rename, which keeps the new file's own.
    if (reason.empty() && output.replacing && !SetFileAttributesW(temporary.c_str(), output.mode))
        reason = LastErrorText();
    if (reason.empty() && !MoveFileExW(temporary.c_str(), SystemPath(output.targetPath).c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        reason = LastErrorText();
    if (!reason.empty())
        DeleteFileW(temporary.c_str());
    output.temporaryPath.clear();
    return reason.empty();
}

void DiscardOutputFile(PendingOutput& output)
{
    if (output.stream != nullptr)
        std::fclose(output.stream);
    output.stream = nullptr;
    if (!output.temporaryPath.empty())
        DeleteFileW(SystemPath(output.temporaryPath).c_str());
    output.temporaryPath.clear();
}

bool WriteOutput(std::FILE* stream, const unsigned char* bytes, size_t count)
{
    errno = 0;
    if (std::fflush(stream) != 0)
        return false;
    // _write, not WriteFile itself: it gives the C library's errno, as the
    // messages of every other failure do.
    const int descriptor = _fileno(stream);
    while (count > 0) {
        const unsigned piece = count < 0x40000000 ? static_cast<unsigned>(count) : 0x40000000;
        const int written = _write(descriptor, bytes, piece);
        if (written <= 0) {
            if (errno == 0)
                errno = written == 0 ? ENOSPC : EIO;
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

#else

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

#include <cstdlib>
#include <vector>

#include "signal_cleanup.h"

namespace {

std::string DirectoryOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// mkstemp creates files only its owner can read; a new file should look as
// if it had been written in place.
mode_t ModeForNewFile()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Renaming onto a symbolic link would replace the link, so that converting
// a file in place through a link would leave the file itself unconverted:
// the output goes where the links lead, also where nothing is there yet, as
// iconv, which opens the name, creates the file a dangling link names. False
// with errno set for links that lead round in a circle.
bool ResolveTarget(const std::string& targetPath, std::string& resolved)
{
    resolved = targetPath;
    for (int links = 0; links < 40; ++links) {  // the system's own limit
        struct stat link;
        if (lstat(resolved.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return true;
        std::vector<char> target(256);
        ssize_t length;
        while ((length = readlink(resolved.c_str(), target.data(), target.size())) ==
               static_cast<ssize_t>(target.size()))
            target.resize(2 * target.size());
        if (length <= 0)
            return true;  // gone meanwhile: a file of that name is written
        const std::string next(target.data(), static_cast<size_t>(length));
        resolved = next[0] == '/' ? next : DirectoryOf(resolved) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

int ErrnoOrIo()
{
    return errno != 0 ? errno : EIO;
}

// ACLs, security labels and the user's own attributes, as far as the
// system lets the caller set them; the text is what matters.
void CopyExtendedAttributes(const std::string& from, int to)
{
#ifdef __linux__
    const ssize_t listed = listxattr(from.c_str(), nullptr, 0);
    if (listed <= 0)
        return;
    std::vector<char> names(static_cast<size_t>(listed));
    const ssize_t length = listxattr(from.c_str(), names.data(), names.size());
    std::vector<char> value;
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        const ssize_t size = getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0)
            continue;
        value.resize(static_cast<size_t>(size));
        const ssize_t got = getxattr(from.c_str(), name, value.data(), value.size());
        if (got >= 0)
            fsetxattr(to, name, value.data(), static_cast<size_t>(got), 0);
    }
#else
    (void)from;
    (void)to;
#endif
}

// The new file takes the old one's owner and group at once; its mode, the
// old one's, comes last (FinishIdentity), since a change of owner, and any
// write by someone other than root, clears the set-user-ID and set-group-ID
// bits. Only root may give any owner; others keep the group where they are
// in it, and the rest stays theirs. A file that cannot keep both loses
// those bits and the sticky one, as cp -p leaves them: a set-user-ID
// program must not end up running as another user, nor one of another
// group as the caller's group.
mode_t KeepOwner(int descriptor, const struct stat& existing)
{
    mode_t mode = existing.st_mode & 07777;
    if (fchown(descriptor, existing.st_uid, existing.st_gid) != 0) {
        mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID | S_ISVTX);
        if (fchown(descriptor, static_cast<uid_t>(-1), existing.st_gid) != 0)
            errno = 0;
    }
    return mode;
}

// The last step before the rename: the mode, and the old file's extended
// attributes (a write clears file capabilities, as it does set-user-ID).
bool FinishIdentity(int descriptor, const PendingOutput& output)
{
    if (output.replacing)
        CopyExtendedAttributes(output.targetPath, descriptor);
    return fchmod(descriptor, static_cast<mode_t>(output.mode)) == 0;
}

// O_TRUNC and O_CREAT would mean nothing to a FIFO, a device or a terminal,
// and only harm if the name were replaced meanwhile.
bool OpenDirectly(const std::string& targetPath, PendingOutput& output, std::string& reason)
{
    errno = 0;
    const int descriptor = open(targetPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor >= 0)
        output.stream = fdopen(descriptor, "wb");
    if (output.stream == nullptr) {
        reason = std::strerror(ErrnoOrIo());
        if (descriptor >= 0)
            close(descriptor);
        return false;
    }
    output.direct = true;
    return true;
}

} // namespace

bool BeginOutputFile(const std::string& targetPath, PendingOutput& output, std::string& reason)
{
    output = PendingOutput();
    output.targetPath = targetPath;
    // Through links: /dev/stdout is one, to a pipe or a terminal.
    struct stat existing;
    const bool exists = stat(targetPath.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return OpenDirectly(targetPath, output, reason);
    if (!ResolveTarget(targetPath, output.targetPath)) {
        reason = std::strerror(ErrnoOrIo());
        return false;
    }
    if (exists) {
        // The rename would go through (and root may write anything), but
        // the user marked the file as one that must not change.
        if (!(existing.st_mode & S_IWUSR)) {
            reason = _(ReadOnlyReason);
            return false;
        }
        // Nor may a writable folder let the caller replace a file that its
        // permissions keep them from writing.
        if (faccessat(AT_FDCWD, output.targetPath.c_str(), W_OK, AT_EACCESS) != 0) {
            reason = Format(_("%s; it was left as it was"), std::strerror(ErrnoOrIo()));
            return false;
        }
    }
    const std::string pattern = DirectoryOf(output.targetPath) + "/.trvXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor;
    {
        EndingSignalsHeld held;
        descriptor = mkstemp(name.data());
        if (descriptor >= 0)
            RemoveOnSignal(name.data());
    }
    if (descriptor < 0) {
        reason = std::strerror(ErrnoOrIo());
        return false;
    }
    errno = 0;
    output.replacing = exists;
    output.mode = exists ? KeepOwner(descriptor, existing) : ModeForNewFile();
    output.stream = fdopen(descriptor, "wb");
    if (output.stream == nullptr) {
        reason = std::strerror(ErrnoOrIo());
        close(descriptor);
        EndingSignalsHeld held;
        unlink(name.data());
        ForgetOnSignal();
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
    // A pipe or a terminal has no disk to reach.
    if (std::fflush(stream) != 0 ||
        (!output.direct && (!FinishIdentity(fileno(stream), output) || fsync(fileno(stream)) != 0)))
        error = ErrnoOrIo();
    errno = 0;
    if (std::fclose(stream) != 0 && error == 0)
        error = ErrnoOrIo();
    if (!output.direct) {
        EndingSignalsHeld held;
        if (error == 0 && std::rename(output.temporaryPath.c_str(), output.targetPath.c_str()) != 0)
            error = ErrnoOrIo();
        if (error != 0)
            unlink(output.temporaryPath.c_str());
        ForgetOnSignal();
    }
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
    if (!output.temporaryPath.empty()) {
        EndingSignalsHeld held;
        unlink(output.temporaryPath.c_str());
        ForgetOnSignal();
    }
    output.temporaryPath.clear();
}

bool WriteOutput(std::FILE* stream, const unsigned char* bytes, size_t count)
{
    errno = 0;
    if (std::fflush(stream) != 0)
        return false;
    const int descriptor = fileno(stream);
    while (count > 0) {
        const ssize_t written = write(descriptor, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

#endif
