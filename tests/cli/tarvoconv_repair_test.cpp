#include <regex>
#include <vector>

#include "tarvoconv_test_support.h"
#include "text_repair.h"
#include "unicode_conversion.h"

namespace {

using tarvoconv_repair = TarvoconvTest;

// "Привет" garbled as UTF-8 read as cp1251, and "Цена: 100 € за штуку" so:
// its euro sign has no byte in cp866.
const char Garbled[] = "РџСЂРёРІРµС‚\n";
const char GarbledPrice[] = "Р¦РµРЅР°: 100 в‚¬ Р·Р° С€С‚СѓРєСѓ\n";

// The engine's confidence is tuned on its own; what the lines say around it
// is tarvoconv's.
std::string WithoutFigures(const std::string& explanation)
{
    return std::regex_replace(explanation, std::regex("confidence [0-9]+"), "confidence N");
}

std::string Converted(const std::string& text, int source, int destination)
{
    UnicodeConverter converter(source, destination, false, false);
    std::vector<unsigned char> out(UnicodeConverter::OutputSize(static_cast<unsigned>(text.size())));
    const UnicodeChunk chunk = converter.Convert(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                                 static_cast<unsigned>(text.size()), true);
    return std::string(out.begin(), out.begin() + chunk.written);
}

TEST_F(tarvoconv_repair, EachKindOfGarblingComesBackAndCleanTextStaysByteForByte)
{
    const struct {
        std::string input;
        std::string output;  // empty: the input as it is
        std::string chain;   // empty: nothing to repair
    } cases[] = {
        {Garbled, "Привет\n", "UTF-8 read as cp1251"},
        {"ÐŸÑ€Ð¸Ð²ÐµÑ‚\n", "Привет\n", "UTF-8 read as cp1252"},
        {"Ïðèâåò\n", "Привет\n", "cp1251 read as cp1252"},
        {"дПВТЩК ДЕОШ\n", "Добрый день\n", "KOI8-R read as cp1251"},
        {"дНАПШИ ДЕМЭ\n", "Добрый день\n", "cp1251 read as KOI8-R"},
        {"ЏаЁўҐв\n", "Привет\n", "cp866 read as cp1251"},
        {"п÷я─п╦п╡п╣я┌\n", "Привет\n", "UTF-8 read as KOI8-R"},
        {"ÑÅÊÐÅÒ - Áåñïå÷íûé Åçäîê - 0:00", "СЕКРЕТ - Беспечный Ездок - 0:00", "cp1251 read as cp1252"},
        {"п∙я│п╩п╦ п▓я▀ п╫п╣\r\n", "Если Вы не\r\n", "UTF-8 read as KOI8-R"},
        {"Дрчфэл депы, дфияыу\n", "Добрый день, друзья\n", "KOI8-R read as cp1251, then KOI8-R read as cp1251"},
        {"Здравствуйте!\nРџСЂРёРІРµС‚ РјРёСЂ\nThe end", "Здравствуйте!\nПривет мир\nThe end", "UTF-8 read as cp1251"},
        {"\xEF\xBB\xBFПривет, как дела? «Всё» — хорошо.\r\nThe quick brown fox, naïve café.\r\n", "", ""},
        {"Київ — столиця України.\n\nБеоград је главни град Србије.\n", "", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const ToolRun run = Run({"--repair", "--explain"}, c.input);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, c.output.empty() ? c.input : c.output);
        EXPECT_EQ(WithoutFigures(run.err), "(standard input): " +
                                               (c.chain.empty() ? "nothing to repair" : c.chain + ", confidence N") +
                                               "\n");
    }
}

TEST_F(tarvoconv_repair, ReadsAndWritesEveryEncodingAsConversionDoes)
{
    const std::string koi8Hello = Bytes({0xF0, 0xD2, 0xC9, 0xD7, 0xC5, 0xD4, '\n'});
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::string output;
    } cases[] = {
        {{"-t", "cp1251"}, Garbled, Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, '\n'})},
        // The bytes of "Привет" in UTF-8 are the garbled text in cp1251.
        {{"-f", "cp1251", "-t", "koi8-r"}, "Привет\n", koi8Hello},
        {{"-f", "auto", "--to=2"}, "РџСЂРёРІРµС‚, РєР°Рє РґРµР»Р°?\n", Converted("Привет, как дела?\n", EncodingUtf8, 2)},
        {{"-f", "utf-16", "-t", "utf-16"}, Converted("ЏаЁўҐв\n", EncodingUtf8, EncodingUtf16),
         Converted("Привет\n", EncodingUtf8, EncodingUtf16)},
        {{"-c", "-t", "cp866"}, GarbledPrice, Converted("Цена: 100 ? за штуку\n", EncodingUtf8, 0)},
        {{"-t", "utf-16be"}, Garbled, Bytes({0x04, 0x1F, 0x04, 0x40, 0x04, 0x38, 0x04, 0x32, 0x04, 0x35, 0x04, 0x42,
                                             0, '\n'})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        std::vector<std::string> arguments = {"--repair"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ToolRun run = Run(arguments, c.input);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out == c.output);
    }
}

TEST_F(tarvoconv_repair, ExplanationsGoWhereTheTextDoesNot)
{
    WriteFile(Work("notes.txt"), "Здравствуйте!\nРџСЂРёРІРµС‚ РјРёСЂ, РєР°Рє РґРµР»Р° Сѓ С‚РµР±СЏ?\nThe end\nдНАПШИ ДЕМЭ\n"
                                 "Ð¡Ð¿Ð°Ñ?Ð¸Ð±Ð¾, Ð?Ð¸Ð½Ð°, Ð·Ð° Ð²Ñ?Ñ‘\n");
    WriteFile(Work("clean.txt"), "Привет\n");
    const std::string repaired = "Здравствуйте!\nПривет мир, как дела у тебя?\nThe end\nДобрый день\n"
                                 "Спа?ибо, ?ина, за в?ё\nПривет\n";
    const std::string notes = Work("notes.txt"), clean = Work("clean.txt");
    const std::string perLine = notes + ":2: UTF-8 read as cp1251, confidence N\n" + notes +
                                ":4: cp1251 read as KOI8-R, confidence N\n" + notes +
                                ":5: UTF-8 read as cp1252, confidence N, 3 characters lost\n";
    const std::string perInput = notes + ": UTF-8 read as cp1251 and other chains, confidence N, 3 characters lost\n" +
                                 clean + ": nothing to repair\n";
    const struct {
        std::vector<std::string> arguments;
        std::string out, err;
    } cases[] = {
        {{"--explain"}, repaired, perInput},
        {{"-v", "-o", "-"}, repaired, perLine + perInput},
        {{"--explain", "--verbose", "-o", Work("out.txt")}, perLine + perInput, ""},
        {{}, repaired, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        std::vector<std::string> arguments = {"--repair", notes, clean};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(WithoutFigures(run.out), c.out);
        EXPECT_EQ(WithoutFigures(run.err), c.err);
    }
    EXPECT_EQ(ReadFile(Work("out.txt")), repaired);
}

TEST_F(tarvoconv_repair, InPlaceRepairsEachFileAndGoesOnPastAFailure)
{
    const std::string clean = "\xEF\xBB\xBFПривет\r\n";
    WriteFile(Work("a.txt"), "Привет\n");  // in cp1251, "РџСЂРёРІРµС‚"
    WriteFile(Work("b.txt"), clean);
    WriteFile(Work("c.txt"), Bytes({0xCF, 0x98, '\n'}));  // 0x98: no character in cp1251
    const ToolRun run = Run({"--repair", "--explain", "--in-place", "-t", "cp1251", "-f", "cp1251", Work("a.txt"),
                             Work("missing.txt"), Work("c.txt")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadFile(Work("a.txt")), Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, '\n'}));
    EXPECT_EQ(WithoutFigures(run.out), Work("a.txt") + ": UTF-8 read as cp1251, confidence N\n");
    EXPECT_NE(run.err.find(Work("missing.txt") + ": "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(Work("c.txt") + ": line 1, byte offset 1: byte 0x98 is no character in cp1251"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ReadFile(Work("c.txt")), Bytes({0xCF, 0x98, '\n'}));

    const ToolRun utf8 = Run({"--repair", "--in-place", Work("b.txt")});
    EXPECT_EQ(utf8.exitCode, 0) << utf8.err;
    EXPECT_EQ(ReadFile(Work("b.txt")), clean);
    EXPECT_EQ(WorkListing(), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(tarvoconv_repair, FailuresLeaveNoOutputFile)
{
    WriteFile(Work("price.txt"), GarbledPrice);
    WriteFile(Work("bad.txt"), std::string(Garbled) + "\xFF\n");
    const struct {
        std::vector<std::string> arguments;
        std::string failing;
        std::string reason;
    } cases[] = {
        {{"-t", "cp866", "-o", Work("out.txt"), Work("price.txt")}, Work("price.txt"),
         "line 1: U+20AC cannot be written in cp866 (-c writes a stand-in)"},
        {{"-o", Work("out.txt"), Work("price.txt"), Work("bad.txt")}, Work("bad.txt"),
         "line 2, byte offset 26: invalid UTF-8"},
        {{"-t", "koi8-r", "--in-place", Work("price.txt")}, Work("price.txt"), "line 1: U+20AC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        std::vector<std::string> arguments = {"--repair"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ToolRun run = Run(arguments);
        ExpectFileFailure(run, c.failing);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(WorkListing(), (std::set<std::string>{"price.txt", "bad.txt"}));
        EXPECT_EQ(ReadFile(Work("price.txt")), GarbledPrice);
    }
}

TEST_F(tarvoconv_repair, LargeInputComesOutAsTheWholeTextRepairedAtOnce)
{
    // Lines garbled and clean, past every buffer tarvoconv holds, with a
    // line of garbled words far longer than those (repaired in pieces cut
    // after spaces), and one without a space, whose pieces end in the middle
    // of surrogate pairs.
    const std::vector<std::string> lines = {
        "РџСЂРёРІРµС‚, РєР°Рє РґРµР»Р°?", "Обычная строка, как есть.", "ÑÅÊÐÅÒ - Áåñïå÷íûé Åçäîê - 0:00",
        "п∙я│п╩п╦ п▓я▀ п╫п╣ п©я─п╟п╡я▀", "Plain English text.", "дПВТЩК ДЕОШ, ДТХЪШС"};
    std::string text;
    for (int n = 0; n < 6000; ++n) {
        text += lines[n % lines.size()] + "\n";
        if (n == 3000)
            for (int word = 0; word < 9000; ++word)
                text += lines[word % 3] + (word % 50 == 49 ? "\t" : " ");
        if (n == 3001)
            for (int emoji = 0; emoji < 40000; ++emoji)
                text += "x😀";
    }
    WriteFile(Work("large.txt"), text);

    const std::string utf16 = Converted(text, EncodingUtf8, EncodingUtf16).substr(2);
    std::u16string units(utf16.size() / 2, u'\0');
    for (size_t n = 0; n < units.size(); ++n)
        units[n] = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * n]) | utf16[2 * n + 1] << 8);
    static RepairWorkspace workspace;
    std::u16string repaired(units.size(), u'\0');
    unsigned length = 0;
    RepairText(units.data(), static_cast<unsigned>(units.size()), &repaired[0], &length, workspace);
    std::string bytes = "\xFF\xFE";
    for (unsigned n = 0; n < length; ++n)
        bytes += std::string{static_cast<char>(repaired[n] & 0xFF), static_cast<char>(repaired[n] >> 8)};
    const std::string whole = Converted(bytes, EncodingUtf16, EncodingUtf8);

    const ToolRun run = Run({"--repair", "-v", Work("large.txt"), "-o", Work("repaired.txt")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(ReadFile(Work("repaired.txt")) == whole);
    // One line for each line changed, also for the long one repaired in pieces.
    std::string changed;
    for (size_t at = 0, to = 0, line = 1; at < text.size(); ++line) {
        const size_t end = text.find('\n', at), repairedEnd = whole.find('\n', to);
        if (text.compare(at, end - at, whole, to, repairedEnd - to) != 0)
            changed += std::to_string(line) + " ";
        at = end + 1;
        to = repairedEnd + 1;
    }
    std::string reported;
    const std::regex number(":([0-9]+): ");
    for (std::sregex_iterator it(run.out.begin(), run.out.end(), number), none; it != none; ++it)
        reported += (*it)[1].str() + " ";
    EXPECT_EQ(reported, changed);
}

} // namespace
