// Reads the topics back out of |TOPIC the way a viewer lays them out: each
// with the offset that |CONTEXT and |CTXOMAP point at, its title and its
// text. Reads what our help compiler writes: topic blocks of 4 KB, neither
// LZ77 nor phrase compressed; anything else is reported, not guessed at.
#pragma once

#include "help_container.h"

#include <cstdint>
#include <string>
#include <vector>

struct HelpTopic {
    std::uint32_t offset;  // block number * 0x8000 + characters before it in the block
    std::string title;
    std::string text;      // one line per paragraph
};

std::vector<HelpTopic> ReadHelpTopics(const std::vector<InternalFile>& files);

// The offset of the topic that HELP_CONTENTS shows: the contents record of
// |SYSTEM, or else the first topic's.
std::uint32_t ContentsTopicOffset(const std::vector<InternalFile>& files);
