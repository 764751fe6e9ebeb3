// The reader of the catalogues that tarvoconv.exe carries, on the
// catalogues msgfmt made of cli/po; the gettext of the C library reads the
// same files natively, which the languages test shows.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "message_catalogue.h"

namespace {

std::vector<unsigned char> ReadCatalogue(const char* language)
{
    std::ifstream file(std::string(TARVOCONV_LOCALE_TREE) + "/" + language + "/LC_MESSAGES/tarvoconv.mo",
                       std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(MessageCatalogue, FindsMessagesAndTheirFormsAndNothingElse)
{
    const std::vector<unsigned char> bytes = ReadCatalogue("uk");
    ASSERT_FALSE(bytes.empty());
    const MessageCatalogue catalogue(bytes.data(), bytes.size());
    const struct {
        const char* message;
        unsigned form;
        const char* translation;  // nullptr: none
    } rows[] = {
        {"missing -f SRC", 0, "не вказано -f ПОЧАТКОВЕ"},
        {"standard input", 0, "стандартний ввід"},
        {", %lu character lost", 0, ", втрачено %lu символ"},
        {", %lu character lost", 1, ", втрачено %lu символи"},
        {", %lu character lost", 2, ", втрачено %lu символів"},
        {", %lu character lost", 3, nullptr},
        {"no such message", 0, nullptr},
        {"", 0, nullptr},  // the header's original
    };
    for (const auto& row : rows) {
        const char* found = catalogue.FindPlural(row.message, row.form);
        if (row.form == 0) {
            EXPECT_EQ(catalogue.Find(row.message) == nullptr, row.translation == nullptr) << row.message;
        }
        if (row.translation) {
            EXPECT_STREQ(found, row.translation) << row.message << " " << row.form;
        } else if (row.message[0]) {
            EXPECT_EQ(found, nullptr) << row.message << " " << row.form;
        }
    }
}

// A text found lies within the catalogue's bytes, its NUL too.
bool Within(const char* found, const std::vector<unsigned char>& bytes)
{
    const char* begin = reinterpret_cast<const char*>(bytes.data());
    return found == nullptr ||
           (found >= begin && found < begin + bytes.size() &&
            std::memchr(found, 0, static_cast<size_t>(begin + bytes.size() - found)) != nullptr);
}

// A catalogue cut short anywhere, or with its count and table offsets
// spoilt, gives nothing that lies outside it.
TEST(MessageCatalogue, ACatalogueCutOrSpoiltIsReadOnlyWithinItsBytes)
{
    const std::vector<unsigned char> whole = ReadCatalogue("ru");
    ASSERT_GT(whole.size(), 28u);
    for (size_t size = 0; size < whole.size(); size += 7) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const MessageCatalogue catalogue(cut.data(), cut.size());
        const char* found = catalogue.Find("standard output");
        EXPECT_TRUE(found == nullptr || std::string(found) == "стандартный вывод") << size;
    }
    for (size_t at = 8; at < 20; ++at) {
        for (const unsigned char value : {0x7F, 0xFF}) {
            std::vector<unsigned char> spoilt = whole;
            spoilt[at] = value;
            const MessageCatalogue catalogue(spoilt.data(), spoilt.size());
            EXPECT_TRUE(Within(catalogue.Find("standard output"), spoilt)) << at;
            EXPECT_TRUE(Within(catalogue.FindPlural(", %lu character lost", 2), spoilt)) << at;
        }
    }
}

TEST(MessageCatalogue, EastSlavicPluralForms)
{
    const struct {
        unsigned long count;
        unsigned form;
    } rows[] = {{0, 2}, {1, 0}, {2, 1}, {4, 1}, {5, 2}, {11, 2}, {12, 2}, {14, 2}, {21, 0}, {22, 1}, {25, 2},
                {101, 0}, {111, 2}, {112, 2}, {122, 1}, {1000001, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(EastSlavicPluralForm(row.count), row.form) << row.count;
}

} // namespace
