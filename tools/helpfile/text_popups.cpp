#include "text_popups.h"

#include "context_tables.h"
#include "help_topics.h"

#include <algorithm>

std::string TextPopups(const std::vector<InternalFile>& files)
{
    const InternalFile* map = FindInternalFile(files, "|CTXOMAP");
    if (!map)
        throw HelpFileError("the help file maps no numbers to topics");
    std::vector<NumberedTopic> numbers = DecodeNumberMap(map->content);
    std::sort(numbers.begin(), numbers.end(),
              [](const NumberedTopic& a, const NumberedTopic& b) { return a.number < b.number; });
    const std::vector<HelpTopic> topics = ReadHelpTopics(files);

    std::string popups;
    for (const NumberedTopic& numbered : numbers) {
        const auto topic = std::find_if(topics.begin(), topics.end(),
                                        [&](const HelpTopic& t) { return t.offset == numbered.topicOffset; });
        if (topic == topics.end())
            throw HelpFileError("number " + std::to_string(numbered.number) + " leads to no topic's start");
        popups += ".topic " + std::to_string(numbered.number) + "\r\n";
        std::size_t start = 0;
        for (std::size_t end; (end = topic->text.find('\n', start)) != std::string::npos; start = end + 1) {
            const std::string paragraph = topic->text.substr(start, end - start);
            // A line starting with a dot is a command to the viewer, not text.
            if (paragraph.empty() || paragraph[0] == '.')
                throw HelpFileError("topic " + topic->title + " has a paragraph the popup file cannot hold");
            popups += paragraph + "\r\n\r\n";
        }
    }
    return popups;
}
