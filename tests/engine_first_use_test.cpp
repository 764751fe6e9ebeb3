// Converters on the engine's first use: a process of its own, so that the
// page tables are built here, by whichever call comes first.
#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "unicode_conversion.h"

namespace {

TEST(FirstUse, AConverterOfNoConversionLeavesEveryByteAsItIs)
{
    Bytes all(256);
    for (int byte = 0; byte < 256; ++byte)
        all[byte] = static_cast<unsigned char>(byte);
    PageConverter none;
    EXPECT_EQ(StreamChunk(none, all), all);
    EXPECT_EQ(ByteOfCharacter(CodePageKoi8r, 0x0430, false), 0xC1);  // the page tables, built now
    EXPECT_EQ(StreamChunk(none, all), all);
}

} // namespace
