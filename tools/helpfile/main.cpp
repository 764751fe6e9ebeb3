// helpmap: numbers the topics of a help file so that a program can ask for
// them by number, lists what a help file maps, and writes the same popups
// as a text file for the HTML Help version of the help.
#include "context_names.h"
#include "context_tables.h"
#include "help_container.h"
#include "help_language.h"
#include "help_topics.h"
#include "keyword_index.h"
#include "numbered_contexts.h"
#include "text_popups.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

const char* const Usage =
    "usage: helpmap [--language en|ru|uk] SOURCE HEADER INPUT OUTPUT\n"
    "         writes OUTPUT: the help file INPUT, made from the help source SOURCE, with\n"
    "         each topic named \\cfg{winhelp-topic}{NAME} in SOURCE mapped to the number\n"
    "         that HEADER #defines as NAME, and the keyword index in the viewer's order;\n"
    "         ru and uk mark it as Russian or Ukrainian text in Windows-1251\n"
    "       helpmap --chm-language en|ru|uk FILE\n"
    "         marks the HTML Help file FILE as of that language, in place\n"
    "       helpmap --list FILE\n"
    "         prints the numbers FILE maps and the title of each topic\n";

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw HelpFileError("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes ReadWholeBinaryFile(const std::string& path)
{
    const std::string text = ReadWholeFile(path);
    return Bytes(text.begin(), text.end());
}

// Written beside its final name and renamed into place only when complete:
// a half-written help file must not look up to date to the next build.
void WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    const std::string partial = path + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out && std::rename(partial.c_str(), path.c_str()) == 0)
            return;
    }
    std::remove(partial.c_str());
    throw HelpFileError("cannot write " + path);
}

void ListHelpFile(const std::string& path)
{
    const std::vector<InternalFile> files = ReadHelpContainer(ReadWholeBinaryFile(path));
    const std::vector<HelpTopic> topics = ReadHelpTopics(files);
    auto titleAt = [&topics](std::uint32_t offset) -> std::string {
        for (const HelpTopic& topic : topics)
            if (topic.offset == offset)
                return topic.title;
        return "(no topic starts here)";
    };
    std::cout << "contents: " << titleAt(ContentsTopicOffset(files)) << "\n";
    const InternalFile* map = FindInternalFile(files, "|CTXOMAP");
    for (const NumberedTopic& numbered : map ? DecodeNumberMap(map->content) : std::vector<NumberedTopic>())
        std::cout << numbered.number << ": " << titleAt(numbered.topicOffset) << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 3 && std::string(argv[1]) == "--list") {
            ListHelpFile(argv[2]);
            return 0;
        }
        if (argc == 4 && std::string(argv[1]) == "--popups") {
            const std::string popups = TextPopups(ReadHelpContainer(ReadWholeBinaryFile(argv[2])));
            WriteWholeFile(argv[3], Bytes(popups.begin(), popups.end()));
            return 0;
        }
        if (argc == 4 && std::string(argv[1]) == "--chm-language") {
            WriteWholeFile(argv[3], SetChmLanguage(ReadWholeBinaryFile(argv[3]), HelpLanguageNamed(argv[2]).lcid));
            return 0;
        }
        HelpLanguage language = HelpLanguageNamed("en");
        if (argc == 7 && std::string(argv[1]) == "--language") {
            language = HelpLanguageNamed(argv[2]);
            argv += 2;
            argc -= 2;
        }
        if (argc != 5) {
            std::cerr << Usage;
            return 2;
        }
        const std::vector<NamedNumber> contexts =
            NumberTopics(ReadTopicNames(ReadWholeFile(argv[1])), ReadNumericDefines(ReadWholeFile(argv[2])));
        const Bytes numbered = AddNumberedContexts(ReadWholeBinaryFile(argv[3]), contexts);
        WriteWholeFile(argv[4], SortKeywordIndex(SetHelpLanguage(numbered, language), language.cyrillic));
    } catch (const HelpFileError& error) {
        std::cerr << "helpmap: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
