// A gettext catalogue as msgfmt writes it (a .mo file), read in memory: the
// catalogues that tarvoconv.exe carries in its resources. Portable, so that
// the reading is tested where msgfmt runs.
#pragma once

#include <cstddef>
#include <cstdint>

class MessageCatalogue {
public:
    MessageCatalogue() = default;
    // The catalogue in bytes, which must outlive it. A file that is not a
    // catalogue, or whose tables point outside it, gives an empty one.
    MessageCatalogue(const unsigned char* bytes, size_t size);

    bool Empty() const { return count_ == 0; }

    // The translation of message, or nullptr where the catalogue has none.
    const char* Find(const char* message) const;

    // Form number form (0 the first) of a message with plural forms, or
    // nullptr where the catalogue has none.
    const char* FindPlural(const char* singular, unsigned form) const;

private:
    bool Entry(std::uint32_t table, std::uint32_t index, const char*& text, std::uint32_t& length) const;
    std::uint32_t Word(size_t offset) const;

    const unsigned char* bytes_ = nullptr;
    size_t size_ = 0;
    bool swapped_ = false;
    std::uint32_t count_ = 0, originals_ = 0, translations_ = 0;
};

// The plural form of count in Russian and Ukrainian, as their catalogues'
// Plural-Forms say: 0 for 1, 21, 101; 1 for 2..4, 22..24; 2 for the rest.
unsigned EastSlavicPluralForm(unsigned long count);
