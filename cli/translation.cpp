#include "translation.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#ifdef _WIN32

#include <windows.h>

#include "catalogue_resource.h"
#include "message_catalogue.h"

namespace {

MessageCatalogue Catalogue;  // empty: English

} // namespace

void UseUserLanguage()
{
    const WORD language = PRIMARYLANGID(GetUserDefaultUILanguage());
    if (language != LANG_RUSSIAN && language != LANG_UKRAINIAN)
        return;
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(program, MAKEINTRESOURCEW(10) /* RT_RCDATA */,
                                  MAKEINTRESOURCEW(TARVOCONV_CATALOGUE), MAKELANGID(language, SUBLANG_DEFAULT));
    HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes)
        Catalogue = MessageCatalogue(static_cast<const unsigned char*>(bytes), SizeofResource(program, found));
}

const char* Translate(const char* message)
{
    const char* translation = Catalogue.Find(message);
    return translation ? translation : message;
}

const char* TranslatePlural(const char* singular, const char* plural, unsigned long count)
{
    const char* translation = Catalogue.FindPlural(singular, EastSlavicPluralForm(count));
    return translation ? translation : count == 1 ? singular : plural;
}

#else

#include <libintl.h>
#include <unistd.h>

#include <clocale>

namespace {

const char Domain[] = "tarvoconv";

// share/locale beside the program's bin, where cmake --install and the
// Debian package put the catalogues, and where the build tree has them too;
// else where the build was configured to install them.
std::string LocaleDirectory()
{
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length > 0 && static_cast<size_t>(length) < path.size() - 1) {
        std::string program(path.data(), static_cast<size_t>(length));
        const std::string::size_type slash = program.rfind('/');
        const std::string directory = program.substr(0, slash == std::string::npos ? 0 : slash) + "/../share/locale";
        if (access(directory.c_str(), X_OK) == 0)
            return directory;
    }
    return TARVOCONV_LOCALE_DIR;
}

} // namespace

void UseUserLanguage()
{
    std::setlocale(LC_ALL, "");
    bindtextdomain(Domain, LocaleDirectory().c_str());
}

const char* Translate(const char* message)
{
    return dgettext(Domain, message);
}

const char* TranslatePlural(const char* singular, const char* plural, unsigned long count)
{
    return dngettext(Domain, singular, plural, count);
}

#endif

// strerror's English texts for what tarvoconv meets, as the C libraries of
// Windows and GNU write them, for the catalogues; glibc translates its own.
const char* const ErrorTexts[] = {
    N_("No such file or directory"), N_("Permission denied"), N_("File exists"), N_("Is a directory"),
    N_("No space left on device"),   N_("File too large"),    N_("Invalid argument"),
    N_("Too many open files"),       N_("Input/output error"), N_("Broken pipe"),
    N_("Read-only file system"),     N_("Not enough space"),
};

const char* ErrorText(int error)
{
    return Translate(std::strerror(error));
}

std::string Format(const char* pattern, ...)
{
    std::va_list arguments;
    va_start(arguments, pattern);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, pattern, arguments);
    va_end(arguments);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), pattern, again);
        text.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(again);
    return text;
}
