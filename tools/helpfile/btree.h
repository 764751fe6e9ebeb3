// B+ trees as help files keep them: the internal directory, |CONTEXT and the
// other lookup tables. A tree is a header and pages of one fixed size. Leaf
// pages hold the entries in key order and are chained both ways; index pages
// above them lead a search to the right leaf.
#pragma once

#include "byte_fields.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BTreeFormat {
    std::uint16_t flags = 0x0002;  // bit 0x0400 marks the internal directory
    std::uint16_t pageSize = 2048;
    std::string structure;         // describes an entry, e.g. "z4": name, long
};

// The internal directory: file names to file offsets.
const BTreeFormat DirectoryFormat{0x0402, 1024, "z4"};
// |CONTEXT: context name hashes to topic offsets.
const BTreeFormat ContextFormat{0x0002, 2048, "L4"};

// One entry exactly as stored: a key (a NUL-terminated string with its NUL,
// or a 4-byte number) and the value that follows it.
struct BTreeEntry {
    Bytes key;
    Bytes value;
};

enum class BTreeKey { String, Long };

struct BTree {
    BTreeFormat format;
    std::vector<BTreeEntry> entries;  // in leaf order
};

// Lays the entries, already in key order, out in leaf pages and as many
// levels of index pages as they need; returns the header and the pages.
Bytes BuildBTree(const BTreeFormat& format, const std::vector<BTreeEntry>& entries);

// Reads every entry of a tree, walking the leaf chain from its first page.
BTree ReadBTree(const Bytes& tree, BTreeKey key, std::size_t valueSize);

// The leaf pages of a tree in key order, with the entries each holds: what
// the page map of the keyword index (|KWMAP) lists.
struct LeafPage {
    std::uint16_t number;
    std::uint16_t entries;
};
std::vector<LeafPage> ReadLeafPages(const Bytes& tree);

// Sizes of the fixed parts, for readers that look at the bytes themselves.
constexpr std::size_t BTreeHeaderSize = 38;
constexpr std::size_t LeafPageHeaderSize = 8;
constexpr std::size_t IndexPageHeaderSize = 6;
