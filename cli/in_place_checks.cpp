#include "in_place_checks.h"

#include "translation.h"

namespace {

const char NotAFileReason[] = N_("not a regular file; --in-place converts only files");

std::string LinksReason(unsigned long links)
{
    return Format(Plural("the file has %lu name (hard links), and the others would keep the old text; it was left "
                         "as it was (--force converts it under this name)",
                         "the file has %lu names (hard links), and the others would keep the old text; it was left "
                         "as it was (--force converts it under this name)",
                         links),
                  links);
}

} // namespace

#ifdef _WIN32

#include <windows.h>

#include "file_names.h"

bool MayConvertInPlace(const std::string& path, bool force, std::string& reason)
{
    // No access asked for: only the file's information is read.
    HANDLE file = CreateFileW(SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    if (!disk || (known && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
        reason = _(NotAFileReason);
        return false;
    }
    if (known && information.nNumberOfLinks > 1 && !force) {
        reason = LinksReason(information.nNumberOfLinks);
        return false;
    }
    return true;
}

#else

#include <sys/stat.h>
#include <unistd.h>

bool MayConvertInPlace(const std::string& path, bool force, std::string& reason)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return true;
    if (!S_ISREG(status.st_mode)) {
        reason = _(NotAFileReason);
        return false;
    }
    if (force)
        return true;
    if (status.st_nlink > 1) {
        reason = LinksReason(static_cast<unsigned long>(status.st_nlink));
        return false;
    }
    // Only root may give the new file the old one's owner.
    if (geteuid() != 0 && status.st_uid != geteuid()) {
        reason = _("the file belongs to another user and would become yours; it was left as it was "
                   "(--force converts it all the same)");
        return false;
    }
    return true;
}

#endif
