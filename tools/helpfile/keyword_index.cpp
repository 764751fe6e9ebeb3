#include "keyword_index.h"

#include "btree.h"
#include "help_container.h"

#include <algorithm>

namespace {

constexpr std::size_t KeywordValueSize = 6;  // a count and an offset into |KWDATA

// The Cyrillic letters of Windows-1251 in the alphabets' order, small and
// capital: а б в г ґ д е ё є ж з и і ї й к л м н о п р с т у ў ф х ц ч ш
// щ ъ ы ь э ю я.
const char CyrillicSmall[] = "\xE0\xE1\xE2\xE3\xB4\xE4\xE5\xB8\xBA\xE6\xE7\xE8\xB3\xBF\xE9\xEA\xEB\xEC\xED\xEE"
                             "\xEF\xF0\xF1\xF2\xF3\xA2\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF";
const char CyrillicCapital[] = "\xC0\xC1\xC2\xC3\xA5\xC4\xC5\xA8\xAA\xC6\xC7\xC8\xB2\xAF\xC9\xCA\xCB\xCC\xCD\xCE"
                               "\xCF\xD0\xD1\xD2\xD3\xA1\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF";
constexpr int CyrillicLetters = sizeof CyrillicSmall - 1;

// A character's place: 0 for anything but letters and digits, which come
// first; then digits and Latin letters by their codes (capitals as small
// ones), then in a Cyrillic help the Cyrillic letters.
int Rank(char c, bool cyrillic)
{
    const unsigned char u = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
        return u;
    for (int letter = 0; cyrillic && letter < CyrillicLetters; ++letter)
        if (c == CyrillicSmall[letter] || c == CyrillicCapital[letter])
            return 256 + letter;
    return 0;
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

bool KeywordBefore(const std::string& a, const std::string& b, bool cyrillic)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int x = Rank(a[i], cyrillic);
        const int y = Rank(b[i], cyrillic);
        if (x == 0 && y == 0 && a[i] != b[i])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

Bytes SortKeywordIndex(const Bytes& helpFile, bool cyrillic)
{
    std::vector<InternalFile> files = ReadHelpContainer(helpFile);
    InternalFile* tree = FindInternalFile(files, "|KWBTREE");
    if (!tree)
        return helpFile;
    InternalFile* map = FindInternalFile(files, "|KWMAP");
    if (!map)
        throw HelpFileError("the help file has a keyword index but no |KWMAP");
    BTree keywords = ReadBTree(tree->content, BTreeKey::String, KeywordValueSize);
    std::stable_sort(keywords.entries.begin(), keywords.entries.end(),
                     [cyrillic](const BTreeEntry& a, const BTreeEntry& b) {
                         return KeywordBefore(KeyText(a.key), KeyText(b.key), cyrillic);
                     });
    tree->content = BuildBTree(keywords.format, keywords.entries);
    map->content = PageMap(tree->content);
    return WriteHelpContainer(std::move(files));
}
