#include "help_container.h"

#include "btree.h"

#include <algorithm>

namespace {

// The help compilers mark every internal file so; viewers do not look.
constexpr std::uint8_t InternalFileFlags = 4;

// The content of the internal file whose header is at `offset`.
Bytes ReadInternalFile(const Bytes& helpFile, std::size_t offset, const std::string& name)
{
    const std::uint32_t reserved = ReadU32(helpFile, offset);
    const std::uint32_t used = ReadU32(helpFile, offset + 4);
    if (static_cast<std::uint64_t>(used) + InternalFileHeaderSize > reserved)
        throw HelpFileError("internal file " + name + " uses more space than it reserves");
    if (static_cast<std::uint64_t>(offset) + reserved > helpFile.size())
        throw HelpFileError("internal file " + name + " runs past the end of the help file");
    return Slice(helpFile, offset + InternalFileHeaderSize, used);
}

void AppendInternalFile(Bytes& out, const Bytes& content)
{
    AppendU32(out, static_cast<std::uint32_t>(content.size() + InternalFileHeaderSize));
    AppendU32(out, static_cast<std::uint32_t>(content.size()));
    out.push_back(InternalFileFlags);
    out.insert(out.end(), content.begin(), content.end());
}

}  // namespace

std::vector<InternalFile> ReadHelpContainer(const Bytes& helpFile)
{
    if (ReadU32(helpFile, 0) != HelpFileMagic)
        throw HelpFileError("not a help file: wrong magic number");
    const std::uint32_t directoryStart = ReadU32(helpFile, 4);
    if (ReadU32(helpFile, 12) > helpFile.size())
        throw HelpFileError("the help file is shorter than its header says");

    const Bytes directory = ReadInternalFile(helpFile, directoryStart, "directory");
    std::vector<InternalFile> files;
    for (const BTreeEntry& entry : ReadBTree(directory, BTreeKey::String, 4).entries) {
        InternalFile file;
        file.name = ReadStringZ(entry.key, 0);
        file.content = ReadInternalFile(helpFile, ReadU32(entry.value, 0), file.name);
        files.push_back(std::move(file));
    }
    return files;
}

Bytes WriteHelpContainer(std::vector<InternalFile> files)
{
    // The directory is searched by byte order of the names.
    std::sort(files.begin(), files.end(),
              [](const InternalFile& a, const InternalFile& b) { return a.name < b.name; });

    Bytes out(HelpFileHeaderSize, 0);
    std::vector<BTreeEntry> directory;
    for (const InternalFile& file : files) {
        BTreeEntry entry;
        AppendStringZ(entry.key, file.name);
        AppendU32(entry.value, static_cast<std::uint32_t>(out.size()));
        directory.push_back(std::move(entry));
        AppendInternalFile(out, file.content);
    }
    const std::uint32_t directoryStart = static_cast<std::uint32_t>(out.size());
    AppendInternalFile(out, BuildBTree(DirectoryFormat, directory));

    PutU32(out, 0, HelpFileMagic);
    PutU32(out, 4, directoryStart);
    PutU32(out, 8, 0xFFFFFFFFu);  // no free list
    PutU32(out, 12, static_cast<std::uint32_t>(out.size()));
    return out;
}

const InternalFile* FindInternalFile(const std::vector<InternalFile>& files, const std::string& name)
{
    for (const InternalFile& file : files)
        if (file.name == name)
            return &file;
    return nullptr;
}

InternalFile* FindInternalFile(std::vector<InternalFile>& files, const std::string& name)
{
    for (InternalFile& file : files)
        if (file.name == name)
            return &file;
    return nullptr;
}
