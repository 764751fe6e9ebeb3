// A help file is a small file system: a header, the internal files, each
// behind a short header of its own, and a directory that names them.
#pragma once

#include "byte_fields.h"

#include <string>
#include <vector>

struct InternalFile {
    std::string name;  // "|SYSTEM", "|TOPIC", "|CONTEXT", ...
    Bytes content;     // without the internal file header
};

// Every internal file the directory lists, in directory (name) order.
std::vector<InternalFile> ReadHelpContainer(const Bytes& helpFile);

// A compact help file of these internal files: no free space, the files in
// name order and the directory last.
Bytes WriteHelpContainer(std::vector<InternalFile> files);

// The file of that name, or null.
const InternalFile* FindInternalFile(const std::vector<InternalFile>& files, const std::string& name);
InternalFile* FindInternalFile(std::vector<InternalFile>& files, const std::string& name);

// Sizes and offsets of the fixed parts, for readers that look at the bytes.
constexpr std::uint32_t HelpFileMagic = 0x00035F3F;
constexpr std::size_t HelpFileHeaderSize = 16;
constexpr std::size_t InternalFileHeaderSize = 9;
