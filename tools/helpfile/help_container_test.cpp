// The viewer finds every internal file through the header and the directory
// alone, so a written file is read back here by the documented layout; a
// damaged one must be refused.
#include "btree.h"
#include "help_container.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<InternalFile> SampleFiles()
{
    return {{"|TOPIC", Bytes(5000, 0x5A)}, {"|SYSTEM", {0x6C, 0x03, 0x21, 0}}, {"|CTXOMAP", {}}};
}

}  // namespace

TEST(HelpContainer, WrittenFileReadsBackThroughTheDocumentedLayout)
{
    const Bytes file = WriteHelpContainer(SampleFiles());
    EXPECT_EQ(HelpFileMagic, ReadU32(file, 0));
    EXPECT_EQ(0xFFFFFFFFu, ReadU32(file, 8));  // no free list
    EXPECT_EQ(file.size(), ReadU32(file, 12));

    const std::uint32_t directoryStart = ReadU32(file, 4);
    const std::uint32_t directorySize = ReadU32(file, directoryStart + 4);
    EXPECT_EQ(directorySize + InternalFileHeaderSize, ReadU32(file, directoryStart));
    const Bytes directory = Slice(file, directoryStart + InternalFileHeaderSize, directorySize);
    EXPECT_EQ(0x0402, ReadU16(directory, 2));

    // The directory lists the files by name, each at a header framing its content.
    const std::vector<InternalFile> sample = SampleFiles();
    const std::vector<std::size_t> nameOrder{2, 1, 0};
    const BTree tree = ReadBTree(directory, BTreeKey::String, 4);
    ASSERT_EQ(3u, tree.entries.size());
    for (std::size_t i = 0; i < 3; ++i) {
        const InternalFile& expected = sample[nameOrder[i]];
        EXPECT_EQ(expected.name, ReadStringZ(tree.entries[i].key, 0));
        const std::uint32_t offset = ReadU32(tree.entries[i].value, 0);
        EXPECT_EQ(expected.content.size() + InternalFileHeaderSize, ReadU32(file, offset)) << expected.name;
        EXPECT_EQ(expected.content, Slice(file, offset + InternalFileHeaderSize, ReadU32(file, offset + 4)));
    }

    const std::vector<InternalFile> read = ReadHelpContainer(file);
    ASSERT_EQ(3u, read.size());
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sample[nameOrder[i]].name, read[i].name);
        EXPECT_EQ(sample[nameOrder[i]].content, read[i].content);
    }
}

TEST(HelpContainer, RefusesDamagedFiles)
{
    const Bytes good = WriteHelpContainer(SampleFiles());

    Bytes badMagic = good;
    badMagic[1] ^= 1;
    EXPECT_THROW(ReadHelpContainer(badMagic), HelpFileError);

    const Bytes truncated(good.begin(), good.end() - 100);
    EXPECT_THROW(ReadHelpContainer(truncated), HelpFileError);

    // |TOPIC, the last file before the directory, claims more than it reserves...
    const std::uint32_t topicStart = ReadU32(good, 4) - (5000 + InternalFileHeaderSize);
    Bytes overfull = good;
    PutU32(overfull, topicStart + 4, 5001);
    EXPECT_THROW(ReadHelpContainer(overfull), HelpFileError);

    // ... or reserves more than the file holds.
    Bytes pastTheEnd = good;
    PutU32(pastTheEnd, topicStart, static_cast<std::uint32_t>(good.size()));
    EXPECT_THROW(ReadHelpContainer(pastTheEnd), HelpFileError);
}
