// The converter before any conversion has been selected. A process of its
// own, since every other test selects one.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

TEST(FirstUse, BeforeAnySelectionEveryByteStaysAsItIs)
{
    Bytes all(256);
    for (int byte = 0; byte < 256; ++byte)
        all[byte] = static_cast<unsigned char>(byte);
    EXPECT_EQ(StreamChunk(all), all);
}

} // namespace
