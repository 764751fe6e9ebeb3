// The viewer does not keep topic names: a jump, the |CONTEXT table and the
// help compiler's warnings all work with a 32-bit hash of the name.
#pragma once

#include <cstdint>
#include <string>

// The hash of a context name as the viewer computes it. Letters count the
// same in either case, so "Top" and "TOP" name one topic.
std::int32_t ContextHash(const std::string& name);
