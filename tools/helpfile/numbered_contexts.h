// Gives topics the numbers a program asks for them by. The help compiler we
// use names topics but leaves |CTXOMAP empty, so the viewer could find no
// topic by number; this fills it from the topics' names.
#pragma once

#include "byte_fields.h"

#include <cstdint>
#include <string>
#include <vector>

struct NamedNumber {
    std::string name;  // the topic's context name
    std::uint32_t number;
};

// The help file again, with |CTXOMAP mapping each number to the topic of its
// name, and |CONTEXT in the order the viewer searches it. Fails when a name
// names no topic or a number is given twice.
Bytes AddNumberedContexts(const Bytes& helpFile, const std::vector<NamedNumber>& contexts);
