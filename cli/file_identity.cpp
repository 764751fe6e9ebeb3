#include "file_identity.h"

#ifdef _WIN32

#include <windows.h>

#include "file_names.h"

FileIdentity IdentityOf(const std::string& path)
{
    FileIdentity identity;
    // No access asked for: only the file's information is read, also of a
    // file that another program holds open.
    HANDLE file = CreateFileW(SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return identity;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information)) {
        identity.known = true;
        identity.volume = information.dwVolumeSerialNumber;
        identity.index = (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
                         information.nFileIndexLow;
    }
    CloseHandle(file);
    return identity;
}

#else

#include <sys/stat.h>

FileIdentity IdentityOf(const std::string& path)
{
    FileIdentity identity;
    struct stat status;
    if (stat(path.c_str(), &status) == 0) {
        identity.known = true;
        identity.volume = static_cast<unsigned long long>(status.st_dev);
        identity.index = static_cast<unsigned long long>(status.st_ino);
    }
    return identity;
}

#endif

bool SameFile(const FileIdentity& a, const FileIdentity& b)
{
    return a.known && b.known && a.volume == b.volume && a.index == b.index;
}
