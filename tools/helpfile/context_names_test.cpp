// The numbers reach the help file only through these readers, so a name they
// miss or misread is a button without help.
#include "context_names.h"

#include <gtest/gtest.h>

#include <string>

TEST(TopicNames, ReadsEveryTopicNameOfTheSourceInOrder)
{
    const std::string source =
        "\\title Help\n\n\\cfg{winhelp-filename}{x.hlp}\n\n\\U Two\n\n\\cfg{winhelp-topic}{IDM_TWO}\n\ntext\n\n"
        "\\U One\n\n\\cfg{winhelp-topic}{HELP_ONE} more text \\cfg{winhelp-topic}{second.name}\n";
    EXPECT_EQ((std::vector<std::string>{"IDM_TWO", "HELP_ONE", "second.name"}), ReadTopicNames(source));
    EXPECT_TRUE(ReadTopicNames("\\title No topics\n").empty());
    EXPECT_THROW(ReadTopicNames("\\cfg{winhelp-topic}{OPEN"), HelpFileError);
}

TEST(NumericDefines, KeepsNumbersAndLeavesTheRestOut)
{
    const std::string header =
        "// Ids.\n"
        "#pragma once\n"
        "#define IDM_EXIT                 100\n"
        "#define IDM_DESTINATION_FIRST    201  // 201..205\n"
        "  #define INDENTED 7\n"
        "#define WM_TRAYNOTIFY 0x8064\n"
        "#define NOT_A_NUMBER SOMETHING\n"
        "#define HALF_A_NUMBER 12abc\n"
        "#define EMPTY\n"
        "#include <windows.h>\n";
    const std::map<std::string, std::uint32_t> defines = ReadNumericDefines(header);
    const std::map<std::string, std::uint32_t> expected{
        {"IDM_EXIT", 100}, {"IDM_DESTINATION_FIRST", 201}, {"INDENTED", 7}, {"WM_TRAYNOTIFY", 0x8064}};
    EXPECT_EQ(expected, defines);
}

TEST(NumberTopics, GivesEachNameItsNumberAndRefusesANameWithout)
{
    const std::map<std::string, std::uint32_t> defines{{"IDM_EXCHANGE", 107}, {"HELP_SOURCE_PANE", 1001}};
    const std::vector<NamedNumber> numbered = NumberTopics({"HELP_SOURCE_PANE", "IDM_EXCHANGE"}, defines);
    ASSERT_EQ(2u, numbered.size());
    EXPECT_EQ("HELP_SOURCE_PANE", numbered[0].name);
    EXPECT_EQ(1001u, numbered[0].number);
    EXPECT_EQ("IDM_EXCHANGE", numbered[1].name);
    EXPECT_EQ(107u, numbered[1].number);
    EXPECT_THROW(NumberTopics({"IDM_EXCHANGE", "IDM_EXCHANGEE"}, defines), HelpFileError);
}
