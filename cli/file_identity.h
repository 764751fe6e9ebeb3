// Tells whether two names lead to the same file, so that a file named twice
// is converted in place once, not twice over.
#pragma once

#include <string>

struct FileIdentity {
    bool known = false;  // false: the file could not be looked at
    unsigned long long volume = 0;
    unsigned long long index = 0;
};

FileIdentity IdentityOf(const std::string& path);

bool SameFile(const FileIdentity& a, const FileIdentity& b);
