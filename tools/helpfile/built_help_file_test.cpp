// Reads the tarvo.hlp that the build made the way the viewer will. The
// program asks for its popups by these numbers, so each number must lead
// to the topic written for that button or pane, and F1 to the contents.
// Then tarvo.chm, unpacked: the same topics, keywords and popups.
#include "btree.h"
#include "context_tables.h"
#include "help_container.h"
#include "help_language.h"
#include "help_topics.h"
#include "keyword_index.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
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
    {IDM_REPAIR_TEXT, "Repair garbled text", "decoded wrongly"},
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

// The title of the topic a keyword's place lies in: the last to start at or
// before it, as topic offsets grow through the file.
std::string TitleOfTopicAround(std::uint32_t offset)
{
    std::string title = "(before the first topic)";
    for (const HelpTopic& topic : Built().topics)
        if (topic.offset <= offset)
            title = topic.title;
    return title;
}

// Each keyword of the index, in the file's order, with the titles of the
// topics it leads to.
std::vector<std::pair<std::string, std::set<std::string>>> Keywords()
{
    const InternalFile* tree = FindInternalFile(Built().files, "|KWBTREE");
    const InternalFile* data = FindInternalFile(Built().files, "|KWDATA");
    if (!tree || !data)
        return {};
    std::vector<std::pair<std::string, std::set<std::string>>> keywords;
    for (const BTreeEntry& entry : ReadBTree(tree->content, BTreeKey::String, 6).entries) {
        std::set<std::string> topics;
        for (std::uint16_t i = 0; i < ReadU16(entry.value, 0); ++i)
            topics.insert(TitleOfTopicAround(ReadU32(data->content, ReadU32(entry.value, 2) + 4u * i)));
        keywords.emplace_back(ReadStringZ(entry.key, 0), topics);
    }
    return keywords;
}

std::string Folded(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST(BuiltHelpFile, DirectoryListsTheNumberMapBesideTheTopics)
{
    for (const char* name : {"|CTXOMAP", "|CONTEXT", "|SYSTEM", "|TOPIC"})
        EXPECT_NE(nullptr, FindInternalFile(Built().files, name)) << name;
}

TEST(BuiltHelpFile, MapsExactlyTheTwelveContextNumbersOfTheProgram)
{
    std::vector<std::uint32_t> expected;
    for (const Popup& popup : Popups)
        expected.push_back(popup.number);
    std::vector<std::uint32_t> mapped;
    for (const NumberedTopic& numbered : Built().numberMap)
        mapped.push_back(numbered.number);
    std::sort(expected.begin(), expected.end());
    std::sort(mapped.begin(), mapped.end());
    EXPECT_EQ(12u, mapped.size());
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

TEST(BuiltHelpFile, IndexListsKeywordsAlphabeticallyEachLeadingToItsTopics)
{
    const auto keywords = Keywords();
    ASSERT_GE(keywords.size(), 30u);
    EXPECT_TRUE(std::is_sorted(keywords.begin(), keywords.end(),
                               [](const auto& a, const auto& b) { return Folded(a.first) < Folded(b.first); }))
        << "the viewer lists the index as stored and searches it without regard to case";

    const std::map<std::string, std::set<std::string>> expected = {
        {"hot keys", {"Contents", "Convert Clipboard"}},
        {"line ends", {"Contents", "Convert NewLines"}},
        {"KOI8-R", {"Contents"}},
        {"preview", {"Contents", "The source pane", "The result pane"}},
        {"source code page", {"Contents", "Detect source code page", "Source code page"}},
    };
    for (const auto& [keyword, topics] : expected) {
        const auto found = std::find_if(keywords.begin(), keywords.end(),
                                        [&](const auto& k) { return k.first == keyword; });
        ASSERT_NE(keywords.end(), found) << keyword;
        EXPECT_EQ(topics, found->second) << keyword;
    }
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

namespace {

// tarvo.chm unpacked by a reader of its own, once for all the tests.
const std::filesystem::path& UnpackedChm()
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path unpacked = CHM_UNPACK_DIR;
        std::filesystem::remove_all(unpacked);
        const std::string command =
            std::string("\"" EXTRACT_CHMLIB "\" \"" TARVO_CHM_FILE "\" \"") + unpacked.string() + "\" > /dev/null";
        if (std::system(command.c_str()) != 0)
            throw HelpFileError("cannot unpack " TARVO_CHM_FILE);
        return unpacked;
    }();
    return folder;
}

std::string ChmFile(const std::string& name)
{
    std::ifstream in(UnpackedChm() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The entries of a contents (.hhc) or index (.hhk) file: each name with the
// pages it leads to.
std::vector<std::pair<std::string, std::vector<std::string>>> SitemapEntries(const std::string& sitemap)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> entries;
    std::istringstream lines(sitemap);
    const std::string nameParam = "<PARAM NAME=\"Name\" VALUE=\"";
    const std::string localParam = "<PARAM NAME=\"Local\" VALUE=\"";
    for (std::string line; std::getline(lines, line);) {
        for (std::size_t at = 0; (at = line.find("<PARAM NAME=", at)) != std::string::npos; ++at) {
            const bool name = line.compare(at, nameParam.size(), nameParam) == 0;
            const bool local = line.compare(at, localParam.size(), localParam) == 0;
            const std::size_t start = at + (name ? nameParam.size() : localParam.size());
            const std::string value = line.substr(start, line.find('"', start) - start);
            if (name)
                entries.push_back({value, {}});
            else if (local && !entries.empty())
                entries.back().second.push_back(value);
        }
    }
    return entries;
}

// What a page or a popup says: its words with single spaces between them,
// without markup, in the help's own code page (Windows-1252).
std::string Words(const std::string& text)
{
    static const std::map<std::string, std::string> entities = {
        {"&#8216;", "\x91"}, {"&#8217;", "\x92"}, {"&#8220;", "\x93"}, {"&#8221;", "\x94"},
        {"&amp;", "&"},      {"&lt;", "<"},       {"&gt;", ">"},       {"&quot;", "\""}};
    std::string words;
    bool space = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            i = text.find('>', i);
            space = true;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            space = true;
            continue;
        }
        if (space && !words.empty())
            words += ' ';
        space = false;
        const auto entity = std::find_if(entities.begin(), entities.end(),
                                         [&](const auto& e) { return text.compare(i, e.first.size(), e.first) == 0; });
        if (entity != entities.end()) {
            words += entity->second;
            i += entity->first.size() - 1;
        } else {
            words += text[i];
        }
    }
    return words;
}

std::string PageTitle(const std::string& page)
{
    const std::size_t start = page.find("<title>") + 7;
    return Words(page.substr(start, page.find("</title>") - start));
}

std::string PageBody(const std::string& page)
{
    const std::size_t start = page.find("<body>");
    return Words(page.substr(start, page.find("</body>") - start));
}

// The .chm's title page is the .hlp's contents topic.
std::string HlpTitleOf(const std::string& chmTitle)
{
    return chmTitle == "Tarvo Help" ? "Contents" : chmTitle;
}

// The popups of the text file inside the .chm, by number.
std::map<std::uint32_t, std::string> ChmPopups()
{
    std::map<std::uint32_t, std::string> popups;
    std::istringstream lines(ChmFile("cshelp.txt"));
    std::string* text = nullptr;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 7, ".topic ") == 0)
            text = &popups[static_cast<std::uint32_t>(std::stoul(line.substr(7)))];
        else if (text)
            *text += line + "\n";
    }
    for (auto& popup : popups)
        popup.second = Words(popup.second);
    return popups;
}

}  // namespace

TEST(BuiltHtmlHelp, ContentsListEveryTopicOfTheHelpFileOnItsOwnPage)
{
    std::vector<std::string> expected;
    for (const HelpTopic& topic : Built().topics)
        expected.push_back(topic.title);
    std::vector<std::string> listed;
    for (const auto& [name, pages] : SitemapEntries(ChmFile("contents.hhc"))) {
        listed.push_back(HlpTitleOf(name));
        ASSERT_EQ(1u, pages.size()) << name;
        EXPECT_EQ(name, PageTitle(ChmFile(pages.front()))) << pages.front();
    }
    EXPECT_EQ(expected, listed);
}

TEST(BuiltHtmlHelp, IndexHasTheKeywordsOfTheHelpFileLeadingToTheSameTopics)
{
    std::map<std::string, std::set<std::string>> hlp;
    for (const auto& [keyword, topics] : Keywords())
        hlp[keyword] = topics;
    std::map<std::string, std::set<std::string>> chm;
    for (const auto& [keyword, pages] : SitemapEntries(ChmFile("index.hhk")))
        for (const std::string& page : pages)
            chm[keyword].insert(HlpTitleOf(PageTitle(ChmFile(page))));
    EXPECT_FALSE(hlp.empty());
    EXPECT_EQ(hlp, chm);
}

TEST(BuiltHtmlHelp, EachContextNumberPopsUpTheWordsOfItsTopic)
{
    std::map<std::string, std::string> pages;  // .hlp title -> the words of its page
    for (const auto& [name, files] : SitemapEntries(ChmFile("contents.hhc")))
        pages[HlpTitleOf(name)] = PageBody(ChmFile(files.front()));
    const std::map<std::uint32_t, std::string> popups = ChmPopups();
    ASSERT_EQ(Built().numberMap.size(), popups.size());
    for (const NumberedTopic& numbered : Built().numberMap) {
        const HelpTopic* topic = TopicAt(numbered.topicOffset);
        ASSERT_NE(nullptr, topic);
        ASSERT_EQ(1u, popups.count(numbered.number)) << numbered.number;
        EXPECT_EQ(pages[topic->title], popups.at(numbered.number)) << numbered.number;
        EXPECT_NE(std::string::npos, popups.at(numbered.number).find(Words(topic->title))) << numbered.number;
    }
}

namespace {

// The built help of another language beside tarvo.hlp: tarvo-ru.hlp, say.
Bytes ReadBesideBuiltHelp(const std::string& name)
{
    std::string path = TARVO_HELP_FILE;
    path = path.substr(0, path.find_last_of('/') + 1) + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw HelpFileError("cannot read " + path);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::uint32_t> NumbersOf(const std::vector<InternalFile>& files)
{
    std::set<std::uint32_t> numbers;
    if (const InternalFile* map = FindInternalFile(files, "|CTXOMAP"))
        for (const NumberedTopic& numbered : DecodeNumberMap(map->content))
            numbers.insert(numbered.number);
    return numbers;
}

}  // namespace

// The Russian and Ukrainian help: the program's numbers lead to topics as
// in the English one, and the file says it is in Windows-1251, without
// which the viewer reads its letters as Western ones; its index in the
// alphabet's order; its .chm marked with its language too.
TEST(BuiltHelpFile, TranslationsAreMarkedWithTheirLanguageAndMapTheSameNumbers)
{
    const struct {
        const char* name;
        std::uint16_t lcid;
    } translations[] = {{"tarvo-ru", 0x0419}, {"tarvo-uk", 0x0422}};
    for (const auto& translation : translations) {
        SCOPED_TRACE(translation.name);
        const Bytes bytes = ReadBesideBuiltHelp(std::string(translation.name) + ".hlp");
        const HelpLanguage language = HelpLanguageOf(bytes);
        EXPECT_EQ(language.lcid, translation.lcid);
        EXPECT_EQ(language.charset, 204);
        const std::vector<InternalFile> files = ReadHelpContainer(bytes);
        EXPECT_EQ(NumbersOf(files), NumbersOf(Built().files));
        for (const HelpTopic& topic : ReadHelpTopics(files))
            EXPECT_FALSE(topic.title.empty());

        const InternalFile* tree = FindInternalFile(files, "|KWBTREE");
        ASSERT_NE(nullptr, tree);
        std::vector<std::string> keywords;
        for (const BTreeEntry& entry : ReadBTree(tree->content, BTreeKey::String, 6).entries)
            keywords.push_back(ReadStringZ(entry.key, 0));
        EXPECT_GE(keywords.size(), 30u);
        EXPECT_TRUE(std::is_sorted(keywords.begin(), keywords.end(),
                                   [](const std::string& a, const std::string& b) { return KeywordBefore(a, b, true); }));

        const Bytes chm = ReadBesideBuiltHelp(std::string(translation.name) + ".chm");
        ASSERT_GT(chm.size(), 0x18u);
        EXPECT_EQ(ReadU32(chm, 0x14), translation.lcid);
    }
}

// Cyrillic letters after Latin ones, capitals as small letters, and Ё, Є,
// І, Ї, Ґ and Ў in their alphabets' places rather than their bytes' (which
// put them before А).
TEST(KeywordOrder, CyrillicKeywordsFollowTheAlphabet)
{
    const char* const ordered[] = {
        "KOI8-R", "zero", "\xE0\xE1\xE2",   // абв
        "\xC3\xE0",                          // Га
        "\xB4\xE0",                          // ґа
        "\xE5\xE6", "\xA8\xE6", "\xBA\xE6",  // еж, Ёж, єж
        "\xE8\xE9", "\xB2\xE9", "\xBF\xE9",  // ий, Ій, їй
        "\xF3\xF1", "\xA2\xF1", "\xFF",      // ус, ўс, я
    };
    for (std::size_t i = 0; i + 1 < sizeof ordered / sizeof *ordered; ++i) {
        EXPECT_TRUE(KeywordBefore(ordered[i], ordered[i + 1], true)) << i;
        EXPECT_FALSE(KeywordBefore(ordered[i + 1], ordered[i], true)) << i;
    }
    EXPECT_FALSE(KeywordBefore("\xC0\xC1", "\xE0\xE1", true)) << "АБ and аб are one keyword's spellings";
    EXPECT_FALSE(KeywordBefore("\xE0\xE1", "\xC0\xC1", true));
}
