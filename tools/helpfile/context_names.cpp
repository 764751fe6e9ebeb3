#include "context_names.h"

#include "byte_fields.h"

#include <cctype>
#include <sstream>

namespace {

// A decimal or 0x-prefixed number and nothing else.
bool ParseNumber(const std::string& text, std::uint32_t& value)
{
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    try {
        std::size_t used = 0;
        const unsigned long long parsed = std::stoull(text, &used, 0);
        if (used != text.size() || parsed > 0xFFFFFFFFull)
            return false;
        value = static_cast<std::uint32_t>(parsed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::vector<std::string> ReadTopicNames(const std::string& helpSource)
{
    static const std::string directive = "\\cfg{winhelp-topic}{";
    std::vector<std::string> names;
    std::size_t at = 0;
    while ((at = helpSource.find(directive, at)) != std::string::npos) {
        at += directive.size();
        const std::size_t end = helpSource.find('}', at);
        if (end == std::string::npos)
            throw HelpFileError("an unclosed \\cfg{winhelp-topic} in the help source");
        names.push_back(helpSource.substr(at, end - at));
        at = end;
    }
    return names;
}

std::map<std::string, std::uint32_t> ReadNumericDefines(const std::string& header)
{
    std::map<std::string, std::uint32_t> defines;
    std::istringstream lines(header);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string directive, name, value;
        words >> directive >> name >> value;
        std::uint32_t number = 0;
        if (directive == "#define" && ParseNumber(value, number))
            defines[name] = number;
    }
    return defines;
}

std::vector<NamedNumber> NumberTopics(const std::vector<std::string>& names,
                                      const std::map<std::string, std::uint32_t>& defines)
{
    std::vector<NamedNumber> numbered;
    for (const std::string& name : names) {
        const auto found = defines.find(name);
        if (found == defines.end())
            throw HelpFileError("topic " + name + " has no #define in the program's header");
        numbered.push_back({name, found->second});
    }
    return numbered;
}
