#include <gtest/gtest.h>

#include <string>

#include "code_page_detection.h"
#include "detection_model.h"
#include "engine_test_support.h"

namespace {

// Text in a code page through the engine's own tables: Russian letters and
// ASCII only.
Bytes Encode(const std::u32string& text, int page)
{
    BuildByteTables();
    Bytes bytes;
    for (char32_t c : text) {
        int index = 0;
        if (c >= 0x410 && c <= 0x44F)
            index = static_cast<int>(c - 0x410) + 1;
        else if (c == 0x401 || c == 0x451)
            index = c == 0x401 ? 65 : 66;
        bytes.push_back(index ? ByteTable[page][index - 1] : static_cast<unsigned char>(c));
    }
    return bytes;
}

Detection Detect(const Bytes& bytes)
{
    return DetectCodePage(bytes.data(), static_cast<unsigned>(bytes.size()));
}

const std::u32string Phrases[] = {
    U"Привет! Как дела? Я так рад тебя видеть.",
    U"Съешь же ещё этих мягких французских булок",
    U"В лесу родилась ёлочка",
    U"Москва, ул. Тверская, д. 7",
    U"ЭТО ПИСЬМО ОТПРАВЛЕНО АВТОМАТИЧЕСКИ.\r\nНе отвечайте на него.",
};

TEST(DetectCodePage, NamesThePageOfAShortPhraseInEachPage)
{
    for (const std::u32string& phrase : Phrases) {
        for (int page = 0; page < CodePageCount; ++page) {
            const Detection detection = Detect(Encode(phrase, page));
            EXPECT_EQ(detection.page, page) << "phrase " << &phrase - Phrases;
            EXPECT_GT(detection.confidence, 50) << "phrase " << &phrase - Phrases << " page " << page;
        }
    }
}

TEST(DetectCodePage, NamesTheCommonerPageWhereTwoReadTheSameCharacters)
{
    // Small letters without я and ё are the same bytes in Mac and cp1251;
    // capitals alone the same in Mac and cp866. Either page is right, so the
    // confidence is high all the same.
    const struct {
        std::u32string text;
        int expected;
    } cases[] = {
        {U"как дела, дружище? всё хорошо", CodePageCp1251},  // ё differs
        {U"как дела, дружище? все хорошо", CodePageCp1251},
        {U"ВНИМАНИЕ! РЕМОНТ ЛИФТА ДО ПОНЕДЕЛЬНИКА", CodePageCp866},
    };
    for (const auto& c : cases) {
        const Bytes mac = Encode(c.text, CodePageMac);
        const bool same = mac == Encode(c.text, c.expected);
        const Detection detection = Detect(mac);
        EXPECT_EQ(detection.page, same ? c.expected : CodePageMac) << &c - cases;
        EXPECT_GE(detection.confidence, 90) << &c - cases;
    }
}

TEST(DetectCodePage, DecidesNothingWithoutEnoughCyrillicText)
{
    Bytes junk(4096);
    unsigned state = 1;
    for (unsigned char& byte : junk) {
        state = state * 1103515245 + 12345;
        byte = static_cast<unsigned char>(state >> 16);
    }
    const unsigned char utf8[] = "Привет, как дела? Я так рад тебя видеть.";  // this file is UTF-8
    const Bytes cases[] = {
        {},
        MakeBytes({'H', 'e', 'l', 'l', 'o', ',', ' ', '1', '2', '3', '\r', '\n'}),
        Encode(U"Да", CodePageCp1251),
        junk,
        Bytes(utf8, utf8 + sizeof utf8 - 1),
    };
    for (const Bytes& bytes : cases) {
        const Detection detection = Detect(bytes);
        EXPECT_EQ(detection.page, NoDecision) << &bytes - cases;
        EXPECT_EQ(detection.confidence, 0) << &bytes - cases;
    }
    EXPECT_EQ(DetectCodePage(nullptr, 0).page, NoDecision);
}

TEST(DetectCodePage, LooksNoFurtherThanCountNorTheWindow)
{
    const Bytes russian = Encode(U"Съешь же ещё этих мягких французских булок, да выпей чаю. ", CodePageKoi8r);
    Bytes text(100, 'a');
    text.insert(text.end(), russian.begin(), russian.end());
    EXPECT_EQ(DetectCodePage(text.data(), 100).page, NoDecision);
    EXPECT_EQ(Detect(text).page, CodePageKoi8r);

    // Russian text from just inside the window counts; from just beyond it,
    // however much, does not.
    for (unsigned ascii : {DetectionWindow - static_cast<unsigned>(russian.size()), DetectionWindow}) {
        Bytes large(ascii, ' ');
        while (large.size() < DetectionWindow + 16384)
            large.insert(large.end(), russian.begin(), russian.end());
        EXPECT_EQ(Detect(large).page, ascii < DetectionWindow ? CodePageKoi8r : NoDecision) << ascii;
    }
}

TEST(DetectionModel, ReadsALetterOnlyWhereTheEngineHasThatLetter)
{
    // A regenerated model must agree with the conversion tables, or the
    // detector would name a page whose letters the converter maps elsewhere.
    for (int page = 0; page < CodePageCount; ++page) {
        int letters = 0;
        for (int byte = 0; byte < 256; ++byte) {
            const int code = RussianModel.reading[page][byte];
            if (!IsLetterCode(code))
                continue;
            ++letters;
            const int letter = code & (Upper - 1);
            const int capital = code >= Upper;
            const int index = letter == 32 ? 65 + !capital : letter + 1 + (capital ? 0 : 32);
            EXPECT_EQ(IndexTable[page][byte], index) << "page " << page << " byte " << byte;
        }
        EXPECT_EQ(letters, 66) << "page " << page;
    }
}

} // namespace
