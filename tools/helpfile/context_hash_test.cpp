// The hash has to be the viewer's bit for bit: a topic whose hash differs
// is one that no jump and no number map can reach. The expected values come
// from the documented character values ('1'..'9' are 1..9, '0' is 10, '.' 12,
// '_' 13, the letters 17..42 in either case) and the rule hash * 43 + value.
#include "context_hash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

TEST(ContextHash, CharactersHaveTheirDocumentedValues)
{
    for (char c = '1'; c <= '9'; ++c)
        EXPECT_EQ(c - '0', ContextHash(std::string(1, c))) << c;
    EXPECT_EQ(10, ContextHash("0"));
    EXPECT_EQ(12, ContextHash("."));
    EXPECT_EQ(13, ContextHash("_"));
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(17 + i, ContextHash(std::string(1, static_cast<char>('A' + i)))) << i;
        EXPECT_EQ(17 + i, ContextHash(std::string(1, static_cast<char>('a' + i)))) << i;
    }
}

TEST(ContextHash, EachCharacterMultipliesTheHashSoFarBy43)
{
    EXPECT_EQ(17 * 43 + 18, ContextHash("ab"));
    EXPECT_EQ((36 * 43 + 31) * 43 + 32, ContextHash("Top"));  // T 36, o 31, p 32
    EXPECT_EQ((1 * 43 + 10) * 43 + 13, ContextHash("10_"));
    EXPECT_EQ(ContextHash("IDM_EXCHANGE"), ContextHash("idm_exchange"));
    EXPECT_NE(ContextHash("ab"), ContextHash("ba"));
}

TEST(ContextHash, WrapsAroundAt32BitsAndIsSigned)
{
    // 'z' is worth 42 = 43 - 1, so n of them hash to 43^n - 1, taken modulo
    // 2^32 and read as a signed number.
    std::uint32_t power = 1;
    bool sawNegative = false;
    for (int n = 1; n <= 16; ++n) {
        power *= 43u;
        const std::int32_t expected = static_cast<std::int32_t>(power - 1u);
        EXPECT_EQ(expected, ContextHash(std::string(static_cast<std::size_t>(n), 'z'))) << n;
        sawNegative = sawNegative || expected < 0;
    }
    EXPECT_TRUE(sawNegative);
}

TEST(ContextHash, EmptyNameHashesToOne)
{
    EXPECT_EQ(1, ContextHash(""));
}
