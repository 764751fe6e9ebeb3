#include "affix_expansion.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "utf8_text.h"

namespace {

enum FlagKind { SingleFlags, LongFlags, NumberFlags, Utf8Flags };

// A condition: one set of characters per position, each a set or its
// complement; an empty set with negate matches anything.
struct CharacterSet {
    std::u32string characters;
    bool negate = false;
    bool Matches(char32_t c) const
    {
        const bool in = characters.find(c) != std::u32string::npos;
        return negate ? !in : in;
    }
};

struct AffixRule {
    bool prefix;
    bool crossProduct;
    std::u32string strip, add;
    std::vector<CharacterSet> condition;
};

std::u32string Utf32(const std::string& utf8)
{
    std::u32string text;
    for (size_t at = 0; at < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && at + k < utf8.size(); ++k)
            c = c << 6 | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
        text.push_back(c);
        at += length;
    }
    return text;
}

std::vector<std::string> ParseFlags(const std::string& text, FlagKind kind)
{
    std::vector<std::string> flags;
    if (kind == NumberFlags) {
        std::stringstream stream(text);
        std::string flag;
        while (std::getline(stream, flag, ','))
            flags.push_back(flag);
    } else if (kind == LongFlags) {
        for (size_t at = 0; at + 1 < text.size(); at += 2)
            flags.push_back(text.substr(at, 2));
    } else if (kind == Utf8Flags) {
        for (char32_t c : Utf32(text))
            flags.push_back(ToUtf8(std::u32string(1, c)));
    } else {
        for (char c : text)
            flags.push_back(std::string(1, c));
    }
    return flags;
}

std::vector<CharacterSet> ParseCondition(const std::u32string& text)
{
    std::vector<CharacterSet> condition;
    for (size_t at = 0; at < text.size(); ++at) {
        CharacterSet set;
        if (text[at] == '.') {
            set.negate = true;
        } else if (text[at] == '[') {
            ++at;
            if (at < text.size() && text[at] == '^') {
                set.negate = true;
                ++at;
            }
            while (at < text.size() && text[at] != ']')
                set.characters.push_back(text[at++]);
        } else {
            set.characters.push_back(text[at]);
        }
        condition.push_back(set);
    }
    return condition;
}

bool EndsWith(const std::u32string& word, const std::u32string& end)
{
    return word.size() >= end.size() && word.compare(word.size() - end.size(), end.size(), end) == 0;
}

bool Applies(const AffixRule& rule, const std::u32string& word)
{
    if (word.size() < rule.condition.size() || word.size() <= rule.strip.size())
        return false;
    const size_t from = rule.prefix ? 0 : word.size() - rule.condition.size();
    for (size_t k = 0; k < rule.condition.size(); ++k) {
        if (!rule.condition[k].Matches(word[from + k]))
            return false;
    }
    if (rule.prefix)
        return word.compare(0, rule.strip.size(), rule.strip) == 0;
    return EndsWith(word, rule.strip);
}

std::u32string Apply(const AffixRule& rule, const std::u32string& word)
{
    if (rule.prefix)
        return rule.add + word.substr(rule.strip.size());
    return word.substr(0, word.size() - rule.strip.size()) + rule.add;
}

} // namespace

std::vector<WordForms> ExpandHunspell(const std::string& dicPath, const std::string& affPath)
{
    std::ifstream aff(affPath), dic(dicPath);
    if (!aff || !dic) {
        std::fprintf(stderr, "cannot read %s or %s: install the dictionary's package\n", dicPath.c_str(),
                     affPath.c_str());
        std::exit(1);
    }
    FlagKind kind = SingleFlags;
    std::map<std::string, std::vector<AffixRule>> rules;
    std::map<std::string, bool> crossProduct;
    std::vector<std::string> aliases(1);  // AF 1.. name flag sets
    std::string line;
    while (std::getline(aff, line)) {
        std::stringstream fields(line);
        std::string keyword, flag, strip, add, condition;
        fields >> keyword;
        if (keyword == "FLAG") {
            std::string value;
            fields >> value;
            kind = value == "num" ? NumberFlags : value == "long" ? LongFlags : value == "UTF-8" ? Utf8Flags : SingleFlags;
        } else if (keyword == "AF") {
            std::string value;
            fields >> value;
            if (value.find_first_not_of("0123456789") != std::string::npos)
                aliases.push_back(value);
        } else if (keyword == "PFX" || keyword == "SFX") {
            std::string second, third;
            fields >> flag >> second >> third >> condition;
            const bool header = (second == "Y" || second == "N") && condition.empty() && !third.empty() &&
                                third.find_first_not_of("0123456789") == std::string::npos;
            if (header) {
                crossProduct[flag] = second == "Y";
                continue;
            }
            AffixRule rule;
            rule.prefix = keyword == "PFX";
            rule.crossProduct = crossProduct[flag];
            strip = second;
            add = third.substr(0, third.find('/'));
            rule.strip = strip == "0" ? U"" : Utf32(strip);
            rule.add = add == "0" ? U"" : Utf32(add);
            rule.condition = ParseCondition(Utf32(condition.empty() ? "." : condition));
            rules[flag].push_back(rule);
        }
    }

    std::vector<WordForms> entries;
    std::getline(dic, line);  // the number of entries
    while (std::getline(dic, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = line.substr(0, line.find_first_of(" \t"));
        size_t slash = line.find('/');
        while (slash != std::string::npos && slash > 0 && line[slash - 1] == '\\')
            slash = line.find('/', slash + 1);
        const std::u32string word = Utf32(line.substr(0, slash));
        if (word.empty())
            continue;
        std::string flagText = slash == std::string::npos ? "" : line.substr(slash + 1);
        if (!flagText.empty() && flagText.find_first_not_of("0123456789") == std::string::npos && aliases.size() > 1) {
            const size_t alias = std::strtoul(flagText.c_str(), nullptr, 10);
            flagText = alias < aliases.size() ? aliases[alias] : "";
        }
        WordForms forms = {ToUtf8(word)};
        std::vector<const AffixRule*> prefixes, suffixes;
        for (const std::string& flag : ParseFlags(flagText, kind)) {
            const auto found = rules.find(flag);
            if (found == rules.end())
                continue;
            for (const AffixRule& rule : found->second) {
                if (Applies(rule, word))
                    (rule.prefix ? prefixes : suffixes).push_back(&rule);
            }
        }
        for (const AffixRule* suffix : suffixes)
            forms.push_back(ToUtf8(Apply(*suffix, word)));
        for (const AffixRule* prefix : prefixes) {
            forms.push_back(ToUtf8(Apply(*prefix, word)));
            for (const AffixRule* suffix : suffixes) {
                if (prefix->crossProduct && suffix->crossProduct)
                    forms.push_back(ToUtf8(Apply(*prefix, Apply(*suffix, word))));
            }
        }
        entries.push_back(forms);
    }
    return entries;
}
