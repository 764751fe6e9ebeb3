// What --in-place refuses before it reads a byte: converting a file into
// itself writes a new file under its name, which is right only for a file
// that is nothing more than its contents under that one name.
#pragma once

#include <string>

// False, with the reason, for a file that must not be replaced: one that is
// no regular file (a device, a pipe, a folder), and unless forced, one with
// other names (hard links, which would keep the old text) or one of another
// user that would become the caller's. True also where the file cannot be
// looked at: opening it says why.
bool MayConvertInPlace(const std::string& path, bool force, std::string& reason);
