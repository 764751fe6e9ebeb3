#include "context_tables.h"

#include "btree.h"

#include <algorithm>

std::vector<ContextEntry> ReadContextTable(const Bytes& contextFile)
{
    std::vector<ContextEntry> table;
    for (const BTreeEntry& entry : ReadBTree(contextFile, BTreeKey::Long, 4).entries)
        table.push_back({ReadI32(entry.key, 0), ReadU32(entry.value, 0)});
    return table;
}

Bytes BuildContextTable(std::vector<ContextEntry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const ContextEntry& a, const ContextEntry& b) { return a.hash < b.hash; });
    std::vector<BTreeEntry> tree;
    for (const ContextEntry& entry : entries) {
        BTreeEntry stored;
        AppendU32(stored.key, static_cast<std::uint32_t>(entry.hash));
        AppendU32(stored.value, entry.topicOffset);
        tree.push_back(std::move(stored));
    }
    return BuildBTree(ContextFormat, tree);
}

Bytes EncodeNumberMap(std::vector<NumberedTopic> topics)
{
    if (topics.size() > 0xFFFF)
        throw HelpFileError("a number map holds at most 65535 entries");
    std::sort(topics.begin(), topics.end(),
              [](const NumberedTopic& a, const NumberedTopic& b) { return a.number < b.number; });
    Bytes map;
    AppendU16(map, static_cast<std::uint32_t>(topics.size()));
    for (const NumberedTopic& topic : topics) {
        AppendU32(map, topic.number);
        AppendU32(map, topic.topicOffset);
    }
    return map;
}

std::vector<NumberedTopic> DecodeNumberMap(const Bytes& numberMap)
{
    const std::uint16_t count = ReadU16(numberMap, 0);
    std::vector<NumberedTopic> topics;
    for (std::size_t i = 0; i < count; ++i)
        topics.push_back({ReadU32(numberMap, 2 + 8 * i), ReadU32(numberMap, 6 + 8 * i)});
    return topics;
}
