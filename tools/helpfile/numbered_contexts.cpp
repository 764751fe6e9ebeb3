#include "numbered_contexts.h"

#include "context_hash.h"
#include "context_tables.h"
#include "help_container.h"

#include <set>

namespace {

std::uint32_t TopicOffsetOf(const std::vector<ContextEntry>& table, const std::string& name)
{
    const std::int32_t hash = ContextHash(name);
    for (const ContextEntry& entry : table)
        if (entry.hash == hash)
            return entry.topicOffset;
    throw HelpFileError("no topic is named " + name);
}

}  // namespace

Bytes AddNumberedContexts(const Bytes& helpFile, const std::vector<NamedNumber>& contexts)
{
    std::vector<InternalFile> files = ReadHelpContainer(helpFile);
    InternalFile* context = FindInternalFile(files, "|CONTEXT");
    if (!context)
        throw HelpFileError("the help file has no |CONTEXT table");
    const std::vector<ContextEntry> table = ReadContextTable(context->content);

    std::vector<NumberedTopic> numbered;
    std::set<std::uint32_t> numbers;
    for (const NamedNumber& named : contexts) {
        if (!numbers.insert(named.number).second)
            throw HelpFileError("number " + std::to_string(named.number) + " is given to more than one topic");
        numbered.push_back({named.number, TopicOffsetOf(table, named.name)});
    }

    context->content = BuildContextTable(table);
    InternalFile* map = FindInternalFile(files, "|CTXOMAP");
    if (!map) {
        files.push_back({"|CTXOMAP", {}});
        map = &files.back();
    }
    map->content = EncodeNumberMap(numbered);
    return WriteHelpContainer(std::move(files));
}
