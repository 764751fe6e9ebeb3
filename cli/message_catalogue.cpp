#include "message_catalogue.h"

#include <cstring>

namespace {

const std::uint32_t Magic = 0x950412DE;
const std::uint32_t SwappedMagic = 0xDE120495;
const size_t HeaderSize = 28;

} // namespace

MessageCatalogue::MessageCatalogue(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size)
{
    if (size < HeaderSize)
        return;
    const std::uint32_t magic = Word(0);
    if (magic != Magic && magic != SwappedMagic)
        return;
    swapped_ = magic == SwappedMagic;
    const std::uint32_t count = Word(8), originals = Word(12), translations = Word(16);
    // Each table holds a length and an offset per message.
    if (originals > size || translations > size || count > (size - originals) / 8 ||
        count > (size - translations) / 8)
        return;
    originals_ = originals;
    translations_ = translations;
    count_ = count;
}

std::uint32_t MessageCatalogue::Word(size_t offset) const
{
    const unsigned char* b = bytes_ + offset;
    return swapped_ ? (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3]
                    : (std::uint32_t(b[3]) << 24) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[1]) << 8) | b[0];
}

// A string of a table, which must end in a NUL inside the catalogue.
bool MessageCatalogue::Entry(std::uint32_t table, std::uint32_t index, const char*& text,
                             std::uint32_t& length) const
{
    length = Word(table + 8 * size_t(index));
    const std::uint32_t offset = Word(table + 8 * size_t(index) + 4);
    if (offset >= size_ || length >= size_ - offset || bytes_[offset + length] != 0)
        return false;
    text = reinterpret_cast<const char*>(bytes_ + offset);
    return true;
}

const char* MessageCatalogue::FindPlural(const char* singular, unsigned form) const
{
    // msgfmt sorts the originals as strcmp does; a plural one is the
    // singular, a NUL and the plural, so strcmp sees the singular only.
    std::uint32_t low = 0, high = count_;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const char* original;
        std::uint32_t length;
        if (!Entry(originals_, middle, original, length))
            return nullptr;
        const int order = std::strcmp(singular, original);
        if (order < 0) {
            high = middle;
        } else if (order > 0) {
            low = middle + 1;
        } else {
            // The forms follow one another, each ending in a NUL.
            const char* translation;
            if (!Entry(translations_, middle, translation, length))
                return nullptr;
            const char* end = translation + length;
            for (; form > 0 && translation < end; --form)
                translation += std::strlen(translation) + 1;
            return translation < end ? translation : nullptr;
        }
    }
    return nullptr;
}

const char* MessageCatalogue::Find(const char* message) const
{
    // The header's original is the empty string: no message of tarvoconv.
    return message[0] == '\0' ? nullptr : FindPlural(message, 0);
}

unsigned EastSlavicPluralForm(unsigned long count)
{
    const unsigned long last = count % 10, lastTwo = count % 100;
    if (last == 1 && lastTwo != 11)
        return 0;
    return last >= 2 && last <= 4 && (lastTwo < 10 || lastTwo >= 20) ? 1 : 2;
}
