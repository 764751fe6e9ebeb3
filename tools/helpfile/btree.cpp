#include "btree.h"

#include <cstring>

namespace {

constexpr std::uint16_t BTreeMagic = 0x293B;
constexpr std::uint16_t NoPage = 0xFFFF;
constexpr std::size_t StructureSize = 16;

// Where a page starts, and what the pages above it need to find it: its
// number and the first key it holds.
struct PageRef {
    std::uint16_t number;
    Bytes firstKey;
};

void CheckPageCount(std::size_t pages)
{
    if (pages >= NoPage)
        throw HelpFileError("a B+ tree needs more pages than a 16-bit page number can reach");
}

Bytes NewPage(const BTreeFormat& format)
{
    return Bytes(format.pageSize, 0);
}

void PutU16(Bytes& page, std::size_t at, std::uint32_t value)
{
    page[at] = static_cast<std::uint8_t>(value & 0xFFu);
    page[at + 1] = static_cast<std::uint8_t>(value >> 8 & 0xFFu);
}

// Fills leaf pages in order; a page takes entries while they fit.
std::vector<PageRef> BuildLeaves(const BTreeFormat& format, const std::vector<BTreeEntry>& entries,
                                 std::vector<Bytes>& pages)
{
    std::vector<PageRef> leaves;
    std::size_t next = 0;
    do {
        CheckPageCount(pages.size());
        Bytes page = NewPage(format);
        std::size_t used = LeafPageHeaderSize;
        std::uint16_t count = 0;
        const std::size_t first = next;
        while (next < entries.size()) {
            const BTreeEntry& entry = entries[next];
            const std::size_t size = entry.key.size() + entry.value.size();
            if (LeafPageHeaderSize + size > format.pageSize)
                throw HelpFileError("a B+ tree entry of " + std::to_string(size) + " bytes does not fit a page of " +
                                    std::to_string(format.pageSize));
            if (used + size > format.pageSize)
                break;
            std::memcpy(&page[used], entry.key.data(), entry.key.size());
            std::memcpy(&page[used + entry.key.size()], entry.value.data(), entry.value.size());
            used += size;
            ++count;
            ++next;
        }
        PutU16(page, 0, static_cast<std::uint32_t>(format.pageSize - used));
        PutU16(page, 2, count);
        leaves.push_back({static_cast<std::uint16_t>(pages.size()), first < entries.size() ? entries[first].key : Bytes()});
        pages.push_back(std::move(page));
    } while (next < entries.size());

    for (std::size_t i = 0; i < leaves.size(); ++i) {
        Bytes& page = pages[leaves[i].number];
        PutU16(page, 4, i == 0 ? NoPage : leaves[i - 1].number);
        PutU16(page, 6, i + 1 == leaves.size() ? NoPage : leaves[i + 1].number);
    }
    return leaves;
}

// One level of index pages over `children`. The first child of a page is its
// PreviousPage; each further child is listed with the first key it holds.
std::vector<PageRef> BuildIndexLevel(const BTreeFormat& format, const std::vector<PageRef>& children,
                                     std::vector<Bytes>& pages)
{
    std::vector<PageRef> level;
    std::size_t next = 0;
    while (next < children.size()) {
        CheckPageCount(pages.size());
        Bytes page = NewPage(format);
        const PageRef& first = children[next++];
        PutU16(page, 4, first.number);
        std::size_t used = IndexPageHeaderSize;
        std::uint16_t count = 0;
        while (next < children.size()) {
            const PageRef& child = children[next];
            const std::size_t size = child.firstKey.size() + 2;
            if (IndexPageHeaderSize + size > format.pageSize)
                throw HelpFileError("a B+ tree key does not fit an index page");
            if (used + size > format.pageSize)
                break;
            std::memcpy(&page[used], child.firstKey.data(), child.firstKey.size());
            PutU16(page, used + child.firstKey.size(), child.number);
            used += size;
            ++count;
            ++next;
        }
        PutU16(page, 0, static_cast<std::uint32_t>(format.pageSize - used));
        PutU16(page, 2, count);
        level.push_back({static_cast<std::uint16_t>(pages.size()), first.firstKey});
        pages.push_back(std::move(page));
    }
    return level;
}

std::size_t KeySize(const Bytes& page, std::size_t at, BTreeKey key)
{
    if (key == BTreeKey::Long)
        return 4;
    return ReadStringZ(page, at).size() + 1;
}

}  // namespace

Bytes BuildBTree(const BTreeFormat& format, const std::vector<BTreeEntry>& entries)
{
    if (format.structure.size() >= StructureSize)
        throw HelpFileError("a B+ tree structure string has at most 15 characters");
    std::vector<Bytes> pages;
    std::vector<PageRef> level = BuildLeaves(format, entries, pages);
    std::uint16_t levels = 1;
    while (level.size() > 1) {
        level = BuildIndexLevel(format, level, pages);
        ++levels;
    }

    Bytes tree;
    AppendU16(tree, BTreeMagic);
    AppendU16(tree, format.flags);
    AppendU16(tree, format.pageSize);
    Bytes structure(StructureSize, 0);
    std::memcpy(structure.data(), format.structure.data(), format.structure.size());
    tree.insert(tree.end(), structure.begin(), structure.end());
    AppendU16(tree, 0);                // must be zero
    AppendU16(tree, 0);                // page splits: a fresh tree has suffered none
    AppendU16(tree, level.front().number);
    AppendU16(tree, NoPage);           // must be -1
    AppendU16(tree, static_cast<std::uint32_t>(pages.size()));
    AppendU16(tree, levels);
    AppendU32(tree, static_cast<std::uint32_t>(entries.size()));
    for (const Bytes& page : pages)
        tree.insert(tree.end(), page.begin(), page.end());
    return tree;
}

namespace {

// A tree's header and pages, checked, with the page its leaf chain starts at.
struct TreeLayout {
    BTreeFormat format;
    std::uint16_t totalPages;
    std::uint32_t totalEntries;
    Bytes pages;
    std::uint16_t firstLeaf;

    Bytes Page(std::uint16_t page) const { return Slice(pages, page * format.pageSize, format.pageSize); }
};

TreeLayout ReadLayout(const Bytes& tree)
{
    if (ReadU16(tree, 0) != BTreeMagic)
        throw HelpFileError("not a B+ tree: wrong magic number");
    TreeLayout layout;
    layout.format.flags = ReadU16(tree, 2);
    layout.format.pageSize = ReadU16(tree, 4);
    for (std::size_t i = 0; i < StructureSize && ReadU8(tree, 6 + i) != 0; ++i)
        layout.format.structure.push_back(static_cast<char>(tree[6 + i]));
    const std::uint16_t root = ReadU16(tree, 26);
    layout.totalPages = ReadU16(tree, 30);
    const std::int16_t levels = ReadI16(tree, 32);
    layout.totalEntries = ReadU32(tree, 34);
    const std::size_t pageSize = layout.format.pageSize;
    if (pageSize < LeafPageHeaderSize || levels < 1 || root >= layout.totalPages)
        throw HelpFileError("a B+ tree header is inconsistent");
    layout.pages = Slice(tree, BTreeHeaderSize, pageSize * layout.totalPages);

    // The leftmost leaf lies below the PreviousPage of each index page.
    std::uint16_t page = root;
    for (int level = 1; level < levels; ++level) {
        page = ReadU16(layout.pages, page * pageSize + 4);
        if (page >= layout.totalPages)
            throw HelpFileError("a B+ tree index page points past the last page");
    }
    layout.firstLeaf = page;
    return layout;
}

// Calls visit(number, page) for each leaf page in key order.
template <typename Visit>
void WalkLeaves(const TreeLayout& layout, Visit visit)
{
    std::size_t visited = 0;
    for (std::uint16_t page = layout.firstLeaf; page != NoPage;) {
        if (page >= layout.totalPages || ++visited > layout.totalPages)
            throw HelpFileError("the leaf chain of a B+ tree is broken");
        const Bytes leaf = layout.Page(page);
        visit(page, leaf);
        page = ReadU16(leaf, 6);
    }
}

}  // namespace

BTree ReadBTree(const Bytes& tree, BTreeKey key, std::size_t valueSize)
{
    const TreeLayout layout = ReadLayout(tree);
    BTree result;
    result.format = layout.format;
    WalkLeaves(layout, [&](std::uint16_t, const Bytes& leaf) {
        const std::int16_t count = ReadI16(leaf, 2);
        std::size_t at = LeafPageHeaderSize;
        for (int i = 0; i < count; ++i) {
            const std::size_t keySize = KeySize(leaf, at, key);
            BTreeEntry entry{Slice(leaf, at, keySize), Slice(leaf, at + keySize, valueSize)};
            result.entries.push_back(std::move(entry));
            at += keySize + valueSize;
        }
    });
    if (result.entries.size() != layout.totalEntries)
        throw HelpFileError("a B+ tree holds " + std::to_string(result.entries.size()) + " entries but its header says " +
                            std::to_string(layout.totalEntries));
    return result;
}

std::vector<LeafPage> ReadLeafPages(const Bytes& tree)
{
    std::vector<LeafPage> leaves;
    WalkLeaves(ReadLayout(tree), [&](std::uint16_t number, const Bytes& leaf) {
        leaves.push_back({number, ReadU16(leaf, 2)});
    });
    return leaves;
}
