// Where the numbers come from: the help text names its topics after the
// program's own #defines (IDM_EXCHANGE, HELP_SOURCE_PANE, ...), and the
// program's header gives those names their numbers. Nothing is written twice.
#pragma once

#include "numbered_contexts.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The context names that the help source gives its topics with
// \cfg{winhelp-topic}{NAME}, in the order they appear.
std::vector<std::string> ReadTopicNames(const std::string& helpSource);

// NAME -> value of every "#define NAME number" line of a C header; other
// defines are left out.
std::map<std::string, std::uint32_t> ReadNumericDefines(const std::string& header);

// Each topic name with its number. A topic without a number is a fault: it
// is nearly always a misspelt name, which would leave a button without help.
std::vector<NamedNumber> NumberTopics(const std::vector<std::string>& names,
                                      const std::map<std::string, std::uint32_t>& defines);
