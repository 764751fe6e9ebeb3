#include "keyword_index.h"

#include "btree.h"
#include "help_container.h"

#include <algorithm>

namespace {

constexpr std::size_t KeywordValueSize = 6;  // a count and an offset into |KWDATA

char Folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string KeyText(const Bytes& key)
{
    return std::string(key.begin(), std::find(key.begin(), key.end(), 0));
}

// |KWMAP: the number of leaf pages, then for each the running number of its
// first keyword and the page's number.
Bytes PageMap(const Bytes& tree)
{
    const std::vector<LeafPage> leaves = ReadLeafPages(tree);
    Bytes map;
    AppendU16(map, static_cast<std::uint32_t>(leaves.size()));
    std::uint32_t first = 0;
    for (const LeafPage& leaf : leaves) {
        AppendU32(map, first);
        AppendU16(map, leaf.number);
        first += leaf.entries;
    }
    return map;
}

}  // namespace

bool KeywordBefore(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char x = Folded(a[i]);
        const char y = Folded(b[i]);
        if (x == y)
            continue;
        if (IsLetterOrDigit(x) != IsLetterOrDigit(y))
            return IsLetterOrDigit(y);
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    return a.size() < b.size();
}

Bytes SortKeywordIndex(const Bytes& helpFile)
{
    std::vector<InternalFile> files = ReadHelpContainer(helpFile);
    InternalFile* tree = FindInternalFile(files, "|KWBTREE");
    if (!tree)
        return helpFile;
    InternalFile* map = FindInternalFile(files, "|KWMAP");
    if (!map)
        throw HelpFileError("the help file has a keyword index but no |KWMAP");
    BTree keywords = ReadBTree(tree->content, BTreeKey::String, KeywordValueSize);
    std::stable_sort(keywords.entries.begin(), keywords.entries.end(), [](const BTreeEntry& a, const BTreeEntry& b) {
        return KeywordBefore(KeyText(a.key), KeyText(b.key));
    });
    tree->content = BuildBTree(keywords.format, keywords.entries);
    map->content = PageMap(tree->content);
    return WriteHelpContainer(std::move(files));
}
