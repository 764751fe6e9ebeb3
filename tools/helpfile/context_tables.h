// The two tables that lead a viewer to a topic: |CONTEXT by the hash of a
// topic's name (jumps and macros), |CTXOMAP by a number (a program's
// context help).
#pragma once

#include "byte_fields.h"

#include <cstdint>
#include <vector>

struct ContextEntry {
    std::int32_t hash;
    std::uint32_t topicOffset;
};

struct NumberedTopic {
    std::uint32_t number;
    std::uint32_t topicOffset;
};

std::vector<ContextEntry> ReadContextTable(const Bytes& contextFile);

// The viewer searches |CONTEXT comparing the hashes as signed numbers, so
// that is the order the table is written in, whatever order it came in.
Bytes BuildContextTable(std::vector<ContextEntry> entries);

// |CTXOMAP: a count, then number and topic offset pairs, by number.
Bytes EncodeNumberMap(std::vector<NumberedTopic> topics);
std::vector<NumberedTopic> DecodeNumberMap(const Bytes& numberMap);
