// Numbering a help file as our help compiler leaves it: |CONTEXT in the
// compiler's order, an empty |CTXOMAP. The file is made here, so each
// topic offset is known.
#include "btree.h"
#include "context_hash.h"
#include "context_tables.h"
#include "help_container.h"
#include "numbered_contexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct SampleTopic {
    const char* name;
    std::uint32_t offset;
};

const SampleTopic SampleTopics[] = {{"Top", 0}, {"ALPHA", 0x120}, {"IDM_EXCHANGE", 0x8010}, {"zzzzzzz", 0x10040}};

// |CONTEXT in unsigned hash order, the order a compiler on a 64-bit machine
// wrote it in, which puts negative hashes last.
Bytes CompilerContextTable()
{
    std::vector<BTreeEntry> entries;
    for (const SampleTopic& topic : SampleTopics) {
        BTreeEntry entry;
        AppendU32(entry.key, static_cast<std::uint32_t>(ContextHash(topic.name)));
        AppendU32(entry.value, topic.offset);
        entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const BTreeEntry& a, const BTreeEntry& b) { return ReadU32(a.key, 0) < ReadU32(b.key, 0); });
    return BuildBTree(ContextFormat, entries);
}

Bytes SampleHelpFile()
{
    return WriteHelpContainer({{"|CONTEXT", CompilerContextTable()}, {"|SYSTEM", {1, 2, 3}}, {"|CTXOMAP", EncodeNumberMap({})}});
}

std::vector<NumberedTopic> NumberMapOf(const Bytes& helpFile)
{
    const std::vector<InternalFile> files = ReadHelpContainer(helpFile);
    const InternalFile* map = FindInternalFile(files, "|CTXOMAP");
    EXPECT_NE(nullptr, map);
    return map ? DecodeNumberMap(map->content) : std::vector<NumberedTopic>();
}

}  // namespace

TEST(NumberMap, CountThenNumberAndOffsetPairsInNumberOrder)
{
    const Bytes map = EncodeNumberMap({{1002, 0x8000}, {101, 0x40}});
    ASSERT_EQ(2u + 2 * 8, map.size());
    EXPECT_EQ(2, ReadU16(map, 0));
    EXPECT_EQ(101u, ReadU32(map, 2));
    EXPECT_EQ(0x40u, ReadU32(map, 6));
    EXPECT_EQ(1002u, ReadU32(map, 10));
    EXPECT_EQ(0x8000u, ReadU32(map, 14));
    EXPECT_THROW(DecodeNumberMap(Bytes(map.begin(), map.end() - 1)), HelpFileError);
}

TEST(NumberedContexts, EachNumberLeadsToTheTopicOfItsName)
{
    const Bytes numbered = AddNumberedContexts(SampleHelpFile(), {{"zzzzzzz", 1002}, {"alpha", 101}, {"IDM_EXCHANGE", 107}});
    const std::vector<NumberedTopic> map = NumberMapOf(numbered);
    ASSERT_EQ(3u, map.size());
    EXPECT_EQ(101u, map[0].number);
    EXPECT_EQ(0x120u, map[0].topicOffset);
    EXPECT_EQ(107u, map[1].number);
    EXPECT_EQ(0x8010u, map[1].topicOffset);
    EXPECT_EQ(1002u, map[2].number);
    EXPECT_EQ(0x10040u, map[2].topicOffset);

    const std::vector<InternalFile> files = ReadHelpContainer(numbered);
    ASSERT_NE(nullptr, FindInternalFile(files, "|SYSTEM"));
    EXPECT_EQ((Bytes{1, 2, 3}), FindInternalFile(files, "|SYSTEM")->content);
}

TEST(NumberedContexts, ContextTableEndsUpInTheViewersSignedOrder)
{
    const std::vector<InternalFile> files = ReadHelpContainer(AddNumberedContexts(SampleHelpFile(), {}));
    const std::vector<ContextEntry> table = ReadContextTable(FindInternalFile(files, "|CONTEXT")->content);
    ASSERT_EQ(4u, table.size());
    EXPECT_LT(table.front().hash, 0);  // the sample has negative hashes to move
    for (std::size_t i = 1; i < table.size(); ++i)
        EXPECT_LT(table[i - 1].hash, table[i].hash);
    for (const SampleTopic& topic : SampleTopics) {
        const auto found = std::find_if(table.begin(), table.end(),
                                        [&](const ContextEntry& e) { return e.hash == ContextHash(topic.name); });
        ASSERT_NE(table.end(), found) << topic.name;
        EXPECT_EQ(topic.offset, found->topicOffset) << topic.name;
    }
}

TEST(NumberedContexts, RefusesWhatWouldLeaveAButtonWithoutItsHelp)
{
    EXPECT_THROW(AddNumberedContexts(SampleHelpFile(), {{"ALPHA", 1}, {"BETA", 2}}), HelpFileError);
    EXPECT_THROW(AddNumberedContexts(SampleHelpFile(), {{"ALPHA", 1}, {"Top", 1}}), HelpFileError);
    const Bytes noContext = WriteHelpContainer({{"|SYSTEM", {1}}});
    EXPECT_THROW(AddNumberedContexts(noContext, {{"ALPHA", 1}}), HelpFileError);
}
