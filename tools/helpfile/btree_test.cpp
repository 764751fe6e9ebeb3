// The viewer walks these pages by fixed offsets and trusts every count and
// link in them: a wrong one sends it to the wrong internal file or topic.
// The layout tests read the bytes by the documented layout, not through
// ReadBTree; the others check that ReadBTree reads back what BuildBTree
// wrote at every depth, and refuses damaged trees.
#include "btree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const BTreeFormat SmallPages{0x0402, 64, "z4"};

BTreeEntry NameEntry(const std::string& name, std::uint32_t value)
{
    BTreeEntry entry;
    AppendStringZ(entry.key, name);
    AppendU32(entry.value, value);
    return entry;
}

// Names of equal length in key order: "|F0000", "|F0001", ...; 11 bytes an entry.
std::vector<BTreeEntry> Names(int count)
{
    std::vector<BTreeEntry> entries;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "|F%04d", i);
        entries.push_back(NameEntry(name, static_cast<std::uint32_t>(i * 100)));
    }
    return entries;
}

constexpr std::size_t NameEntrySize = 11;

std::size_t PageAt(std::size_t page)
{
    return BTreeHeaderSize + page * SmallPages.pageSize;
}

// The leaf page that a search for `name` ends on, found the way the viewer
// searches: in each index page it follows the last entry whose key is not
// after the name, or PreviousPage when the name comes before them all.
std::size_t LeafFor(const Bytes& tree, const std::string& name)
{
    std::size_t page = ReadU16(tree, 26);
    for (int level = 1; level < ReadI16(tree, 32); ++level) {
        const std::size_t at = PageAt(page);
        std::size_t child = ReadU16(tree, at + 4);
        std::size_t entry = at + IndexPageHeaderSize;
        for (int i = 0; i < ReadI16(tree, at + 2); ++i) {
            const std::string key = ReadStringZ(tree, entry);
            if (name < key)
                break;
            child = ReadU16(tree, entry + key.size() + 1);
            entry += key.size() + 3;
        }
        page = child;
    }
    return page;
}

bool LeafHolds(const Bytes& tree, std::size_t page, const std::string& name)
{
    const std::size_t at = PageAt(page);
    std::size_t entry = at + LeafPageHeaderSize;
    for (int i = 0; i < ReadI16(tree, at + 2); ++i, entry += NameEntrySize)
        if (ReadStringZ(tree, entry) == name)
            return true;
    return false;
}

}  // namespace

TEST(BTreeLayout, HeaderAndLeafOfAOnePageTree)
{
    const Bytes tree = BuildBTree(SmallPages, {NameEntry("|A", 1), NameEntry("|B", 2), NameEntry("|C", 3)});
    ASSERT_EQ(BTreeHeaderSize + 64u, tree.size());
    EXPECT_EQ(0x293B, ReadU16(tree, 0));
    EXPECT_EQ(0x0402, ReadU16(tree, 2));
    EXPECT_EQ(64, ReadU16(tree, 4));
    EXPECT_EQ("z4", ReadStringZ(tree, 6));
    for (std::size_t i = 8; i < 22; ++i)
        EXPECT_EQ(0, tree[i]) << i;
    EXPECT_EQ(0, ReadI16(tree, 22));   // must be zero
    EXPECT_EQ(0, ReadI16(tree, 26));   // root page
    EXPECT_EQ(-1, ReadI16(tree, 28));  // must be -1
    EXPECT_EQ(1, ReadI16(tree, 30));   // pages
    EXPECT_EQ(1, ReadI16(tree, 32));   // levels
    EXPECT_EQ(3u, ReadU32(tree, 34));  // entries

    const std::size_t leaf = PageAt(0);
    EXPECT_EQ(64 - 8 - 3 * 7, ReadU16(tree, leaf));  // free bytes at the page's end
    EXPECT_EQ(3, ReadI16(tree, leaf + 2));
    EXPECT_EQ(-1, ReadI16(tree, leaf + 4));
    EXPECT_EQ(-1, ReadI16(tree, leaf + 6));
    EXPECT_EQ("|A", ReadStringZ(tree, leaf + 8));
    EXPECT_EQ(1u, ReadU32(tree, leaf + 11));
    EXPECT_EQ("|C", ReadStringZ(tree, leaf + 22));
    EXPECT_EQ(3u, ReadU32(tree, leaf + 25));
}

TEST(BTreeLayout, FullLeavesAreChainedAndAnIndexPageLeadsToEach)
{
    const std::size_t perLeaf = (64 - LeafPageHeaderSize) / NameEntrySize;  // 5
    const std::vector<BTreeEntry> entries = Names(12);                      // leaves of 5, 5, 2
    const Bytes tree = BuildBTree(SmallPages, entries);
    ASSERT_EQ(4, ReadI16(tree, 30));
    EXPECT_EQ(2, ReadI16(tree, 32));
    EXPECT_EQ(3, ReadI16(tree, 26));  // the index page comes after the leaves

    for (int leaf = 0; leaf < 3; ++leaf) {
        const std::size_t at = PageAt(static_cast<std::size_t>(leaf));
        const int count = leaf < 2 ? static_cast<int>(perLeaf) : 2;
        EXPECT_EQ(count, ReadI16(tree, at + 2)) << leaf;
        EXPECT_EQ(leaf == 0 ? -1 : leaf - 1, ReadI16(tree, at + 4)) << leaf;
        EXPECT_EQ(leaf == 2 ? -1 : leaf + 1, ReadI16(tree, at + 6)) << leaf;
        EXPECT_EQ(64 - 8 - count * static_cast<int>(NameEntrySize), ReadU16(tree, at)) << leaf;
        EXPECT_EQ(ReadStringZ(entries[static_cast<std::size_t>(leaf) * perLeaf].key, 0), ReadStringZ(tree, at + 8));
    }

    // The index page: the first leaf as PreviousPage, then each further leaf
    // with the first name it holds.
    const std::size_t index = PageAt(3);
    EXPECT_EQ(2, ReadI16(tree, index + 2));
    EXPECT_EQ(0, ReadI16(tree, index + 4));
    EXPECT_EQ("|F0005", ReadStringZ(tree, index + 6));
    EXPECT_EQ(1, ReadI16(tree, index + 13));
    EXPECT_EQ("|F0010", ReadStringZ(tree, index + 15));
    EXPECT_EQ(2, ReadI16(tree, index + 22));
    EXPECT_EQ(64 - 6 - 2 * 9, ReadU16(tree, index));
}

TEST(BTreeRoundTrip, EveryEntryReadsBackAndIsFoundByASearchAtEveryDepth)
{
    for (const int count : {0, 1, 5, 6, 60, 3000}) {
        const std::vector<BTreeEntry> entries = Names(count);
        const Bytes tree = BuildBTree(SmallPages, entries);
        const BTree read = ReadBTree(tree, BTreeKey::String, 4);
        ASSERT_EQ(entries.size(), read.entries.size()) << count;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].key, read.entries[i].key) << count << " " << i;
            EXPECT_EQ(entries[i].value, read.entries[i].value) << count << " " << i;
            const std::string name = ReadStringZ(entries[i].key, 0);
            EXPECT_TRUE(LeafHolds(tree, LeafFor(tree, name), name)) << count << " " << name;
        }
        EXPECT_EQ(SmallPages.structure, read.format.structure);
        if (count == 3000) {
            EXPECT_GE(ReadI16(tree, 32), 3) << "deep enough to have index pages over index pages";
        }
    }
}

TEST(BTreeRead, RefusesDamagedTrees)
{
    const Bytes good = BuildBTree(SmallPages, Names(12));

    Bytes badMagic = good;
    badMagic[0] ^= 1;
    EXPECT_THROW(ReadBTree(badMagic, BTreeKey::String, 4), HelpFileError);

    Bytes wrongCount = good;
    PutU32(wrongCount, 34, 13);
    EXPECT_THROW(ReadBTree(wrongCount, BTreeKey::String, 4), HelpFileError);

    Bytes brokenChain = good;
    brokenChain[PageAt(0) + 6] = 40;  // next leaf far past the last page
    EXPECT_THROW(ReadBTree(brokenChain, BTreeKey::String, 4), HelpFileError);

    Bytes circle = good;
    circle[PageAt(1) + 6] = 0;  // the second leaf leads back to the first
    circle[PageAt(1) + 7] = 0;
    EXPECT_THROW(ReadBTree(circle, BTreeKey::String, 4), HelpFileError);

    const Bytes truncated(good.begin(), good.end() - 1);
    EXPECT_THROW(ReadBTree(truncated, BTreeKey::String, 4), HelpFileError);
}

TEST(BTreeBuild, RefusesAnEntryLargerThanAPage)
{
    EXPECT_THROW(BuildBTree(SmallPages, {NameEntry(std::string(60, 'x'), 0)}), HelpFileError);
}
