#include "registry_values.h"

#include <cstring>
#include <string>

namespace {

// The program's value names are ASCII.
std::wstring WideName(const char* name)
{
    std::wstring wide;
    for (; *name; ++name)
        wide += static_cast<wchar_t>(*name);
    return wide;
}

// Whether a value is there with this type and, unless size is 0, this
// size; asked before the data is read, so that a value of another kind
// never touches the caller's buffer.
bool StoredAs(HKEY key, const char* name, DWORD type, DWORD size)
{
    DWORD storedType = REG_NONE, storedSize = 0;
    return RegQueryValueExW(key, WideName(name).c_str(), nullptr, &storedType, nullptr, &storedSize) ==
               ERROR_SUCCESS &&
           storedType == type && (size == 0 || storedSize == size);
}

} // namespace

bool ReadDwordValue(HKEY key, const char* name, DWORD& value)
{
    if (!StoredAs(key, name, REG_DWORD, sizeof value))
        return false;
    DWORD data = 0, size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        size != sizeof data)
        return false;
    value = data;
    return true;
}

bool ReadIntValue(HKEY key, const char* name, int lowest, int highest, int& value)
{
    DWORD stored = 0;
    if (!ReadDwordValue(key, name, stored))
        return false;
    const int number = static_cast<int>(stored);
    if (number < lowest || number > highest)
        return false;
    value = number;
    return true;
}

bool ReadStringValue(HKEY key, const char* name, wchar_t* buffer, DWORD count)
{
    if (count == 0)
        return false;
    const DWORD size = count * sizeof(wchar_t);
    // Cleared first: a short value without a NUL must not run on into what
    // the buffer held before.
    std::memset(buffer, 0, size);
    if (!StoredAs(key, name, REG_SZ, 0))
        return false;
    DWORD stored = size;
    const LONG result =
        RegQueryValueExW(key, WideName(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &stored);
    if (result != ERROR_SUCCESS || stored > size) {
        std::memset(buffer, 0, size);
        return false;
    }
    buffer[count - 1] = L'\0';
    return true;
}

bool ReadBinaryValue(HKEY key, const char* name, void* buffer, DWORD size)
{
    // Reading a shorter value would leave a half-filled record.
    if (!StoredAs(key, name, REG_BINARY, size))
        return false;
    DWORD read = size;
    return RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &read) == ERROR_SUCCESS &&
           read == size;
}

bool WriteDwordValue(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

bool WriteStringField(HKEY key, const char* name, const wchar_t* field, DWORD count)
{
    if (count == 0)
        return false;
    // A REG_SZ whose last character is not a NUL, followed in memory by
    // one, is stored a character longer than asked; that longer value would
    // no longer fit the field when read back. Ending the copy with a NUL
    // keeps it at exactly count characters.
    std::wstring whole(field, count);
    whole[count - 1] = L'\0';
    return RegSetValueExW(key, WideName(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(whole.data()),
                          count * sizeof(wchar_t)) == ERROR_SUCCESS;
}

bool WriteBinaryValue(HKEY key, const char* name, const void* data, DWORD size)
{
    return RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}
