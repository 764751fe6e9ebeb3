// Reads the tarvo.hlp that the build made the way the viewer will. The
// program asks for its popups by these numbers, so each number must lead
// to the topic written for that button or pane, and F1 to the contents.
#include "context_tables.h"
#include "help_container.h"
#include "help_topics.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Popup {
    std::uint32_t number;
    const char* title;
    const char* phrase;  // in this popup's text and in no other popup's
};

const Popup Popups[] = {
    {HELP_SOURCE_PANE, "The source pane", "unconverted"},
    {HELP_RESULT_PANE, "The result pane", "go ahead and convert"},
    {IDM_CONVERT_FILES, "Convert File(s)", "drop files"},
    {IDM_CONVERT_CLIPBOARD, "Convert Clipboard", "ready to paste"},
    {IDM_OVERWRITE_INPUT, "Overwrite input file", "temporary file"},
    {IDM_CONVERT_NEWLINES, "Convert NewLines", "single LF"},
    {IDM_SOURCE_CODEPAGE, "Source code page", "written in now"},
    {IDM_DESTINATION_CODEPAGE, "Destination code page", "converts your text into"},
    {IDM_EXCHANGE, "Exchange Source/Destination", "trade roles"},
    {IDM_AUTO_CONVERT, "Auto convert Clipboard", "watches the clipboard"},
    {IDM_DETECT_SOURCE, "Detect source code page", "too plain to tell"},
};

struct BuiltHelp {
    std::vector<InternalFile> files;
    std::vector<HelpTopic> topics;
    std::vector<NumberedTopic> numberMap;
};

BuiltHelp ReadBuiltHelp()
{
    std::ifstream in(TARVO_HELP_FILE, std::ios::binary);
    if (!in)
        throw HelpFileError("cannot read " TARVO_HELP_FILE);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    BuiltHelp built;
    built.files = ReadHelpContainer(bytes);
    built.topics = ReadHelpTopics(built.files);
    if (const InternalFile* map = FindInternalFile(built.files, "|CTXOMAP"))
        built.numberMap = DecodeNumberMap(map->content);
    return built;
}

// The built file, read once for all the tests.
const BuiltHelp& Built()
{
    static const BuiltHelp built = ReadBuiltHelp();
    return built;
}

const HelpTopic* TopicAt(std::uint32_t offset)
{
    for (const HelpTopic& topic : Built().topics)
        if (topic.offset == offset)
            return &topic;
    return nullptr;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(BuiltHelpFile, DirectoryListsTheNumberMapBesideTheTopics)
{
    for (const char* name : {"|CTXOMAP", "|CONTEXT", "|SYSTEM", "|TOPIC"})
        EXPECT_NE(nullptr, FindInternalFile(Built().files, name)) << name;
}

TEST(BuiltHelpFile, MapsExactlyTheElevenContextNumbersOfTheProgram)
{
    std::vector<std::uint32_t> expected;
    for (const Popup& popup : Popups)
        expected.push_back(popup.number);
    std::vector<std::uint32_t> mapped;
    for (const NumberedTopic& numbered : Built().numberMap)
        mapped.push_back(numbered.number);
    std::sort(expected.begin(), expected.end());
    std::sort(mapped.begin(), mapped.end());
    EXPECT_EQ(11u, mapped.size());
    EXPECT_EQ(expected, mapped);
}

TEST(BuiltHelpFile, EachNumberOpensThePopupWrittenForIt)
{
    const std::vector<NumberedTopic>& map = Built().numberMap;
    for (const Popup& popup : Popups) {
        const auto numbered = std::find_if(map.begin(), map.end(),
                                           [&](const NumberedTopic& n) { return n.number == popup.number; });
        ASSERT_NE(map.end(), numbered) << popup.number;
        const HelpTopic* topic = TopicAt(numbered->topicOffset);
        ASSERT_NE(nullptr, topic) << popup.number << " leads to no topic's start";
        EXPECT_EQ(popup.title, topic->title) << popup.number;
        EXPECT_TRUE(Contains(topic->text, popup.phrase)) << popup.number << ": " << topic->text;
        for (const Popup& other : Popups) {
            if (other.number != popup.number) {
                EXPECT_FALSE(Contains(topic->text, other.phrase)) << popup.number << " mentions " << other.phrase;
            }
        }
    }
}

TEST(BuiltHelpFile, ContentsTopicIntroducesTarvo)
{
    const HelpTopic* contents = TopicAt(ContentsTopicOffset(Built().files));
    ASSERT_NE(nullptr, contents);
    EXPECT_EQ("Contents", contents->title);
    for (const char* subject : {"code page", "cp866", "KOI8-R", "ISO-8859-5", "Convert File(s)", "clipboard",
                                "Convert NewLines", "Preview", "notification area", "Hot Keys", "Context Help", "F1",
                                "Detect source code page"})
        EXPECT_TRUE(Contains(contents->text, subject)) << subject;
}

TEST(BuiltHelpFile, EveryNamedTopicIsWhereTheViewerSearchesForIt)
{
    const InternalFile* context = FindInternalFile(Built().files, "|CONTEXT");
    ASSERT_NE(nullptr, context);
    const std::vector<ContextEntry> table = ReadContextTable(context->content);
    EXPECT_EQ(Built().topics.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(table[i - 1].hash, table[i].hash) << "the viewer's search would stop early";
        }
        EXPECT_NE(nullptr, TopicAt(table[i].topicOffset)) << table[i].topicOffset;
    }
}
