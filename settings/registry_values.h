// Typed reads and writes of single values under an open registry key. A
// value is read only when it has the type and size the program writes it
// with: anything else (a string where a number belongs, a number of eight
// bytes) is not the program's and reads as missing, so that its field keeps
// its default.
#pragma once

#include <windows.h>

// A REG_DWORD of 4 bytes. Anything else or missing: false, and value is
// left alone.
bool ReadDwordValue(HKEY key, const char* name, DWORD& value);

// The same, taken only when it lies in lowest..highest as a signed number.
bool ReadIntValue(HKEY key, const char* name, int lowest, int highest, int& value);

// A REG_SZ of at most count characters into buffer, which is
// NUL-terminated afterwards in every case: a stored string without its NUL
// loses its last character when it fills the buffer; a failed read leaves
// "". A count of 0 reads nothing. Read in UTF-16, as the registry keeps
// strings, so that a folder outside the ANSI code page comes back whole.
bool ReadStringValue(HKEY key, const char* name, wchar_t* buffer, DWORD count);

// A REG_BINARY of exactly size bytes. Any other type or size, or a missing
// value: false, and buffer is left alone.
bool ReadBinaryValue(HKEY key, const char* name, void* buffer, DWORD size);

bool WriteDwordValue(HKEY key, const char* name, DWORD value);

// A REG_SZ of the whole field, count characters whatever the string's
// length, so the data length stored is always the field's size. The last
// character is stored as a NUL even when the field has none. Readers
// through the ANSI calls find the same text.
bool WriteStringField(HKEY key, const char* name, const wchar_t* field, DWORD count);

bool WriteBinaryValue(HKEY key, const char* name, const void* data, DWORD size);
