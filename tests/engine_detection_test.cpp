#include <gtest/gtest.h>

#include <string>

#include "code_page_detection.h"
#include "detection_model.h"
#include "engine_test_support.h"
#include "text_encoding_detection.h"
#include "unicode_conversion.h"

namespace {

// The letters and typography of the other languages in the two pages that
// hold them all, from the pages' own charts.
const struct {
    char32_t c;
    unsigned char cp1251, mac;
} Extras[] = {
    {U'і', 0xB3, 0xB4}, {U'ї', 0xBF, 0xBB}, {U'є', 0xBA, 0xB9}, {U'ґ', 0xB4, 0xB6}, {U'ў', 0xA2, 0xD9},
    {U'ђ', 0x90, 0xAC}, {U'ћ', 0x9E, 0xCC}, {U'љ', 0x9A, 0xBD}, {U'њ', 0x9C, 0xBF}, {U'џ', 0x9F, 0xDB},
    {U'ј', 0xBC, 0xC0}, {U'ѓ', 0x83, 0xAF}, {U'ќ', 0x9D, 0xCE}, {U'ѕ', 0xBE, 0xCF}, {U'«', 0xAB, 0xC7},
    {U'»', 0xBB, 0xC8}, {U'„', 0x84, 0xD7}, {U'“', 0x93, 0xD2}, {U'—', 0x97, 0xD1}, {U'Ђ', 0x80, 0xAB},
    {U'Ѓ', 0x81, 0xAE}, {U'Ќ', 0x8D, 0xCD}, {U'Ѕ', 0xBD, 0xC1},
};

// Text in a code page through the engine's own tables for Russian letters,
// the chart above for the rest (cp1251 and Macintosh Cyrillic only).
Bytes Encode(const std::u32string& text, int page)
{
    Bytes bytes;
    for (char32_t c : text) {
        int index = 0;
        if (c >= 0x410 && c <= 0x44F)
            index = static_cast<int>(c - 0x410) + 1;
        else if (c == 0x401 || c == 0x451)
            index = c == 0x401 ? 65 : 66;
        unsigned char byte = index ? ByteTable[page][index - 1] : static_cast<unsigned char>(c);
        for (const auto& extra : Extras) {
            if (extra.c == c)
                byte = page == CodePageMac ? extra.mac : extra.cp1251;
        }
        bytes.push_back(byte);
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

TEST(DetectCodePage, TellsThePagesApartByTheTextNotByATie)
{
    // Each once took another page with confidence: typography read as
    // letters, the letters of the other languages read as Russian, a word
    // in capitals read as small letters, a capital after a small letter
    // read as a rarer symbol. The shortest may still be taken for another
    // page, but not confidently.
    const struct {
        std::u32string text;
        int page;
    } cases[] = {
        {U"не удалось открыть файл архива «%.250s»", CodePageMac},
        {U"Казах му: „Това е пътят“ и тръгнах.", CodePageCp1251},
        {U"Казах му: „Това е пътят“ и тръгнах.", CodePageMac},
        {U"Київ і Львів — міста України", CodePageMac},
        {U"Київ і Львів — міста України", CodePageCp1251},
        {U"Ђорђе воли љубав, њиву и џак", CodePageMac},
        {U"Ђорђе воли љубав, њиву и џак", CodePageCp1251},
        {U"Яўген пайшоў у краму", CodePageMac},
        {U"Ѓорѓи и ќерка му одат на ѕид", CodePageCp1251},
        {U"ПЪТ И ДОМ", CodePageCp1251},
        {U"ПЪТ И ДОМ", CodePageKoi8r},
        {U"файл 10 кБ", CodePageCp1251},
        {U"Размер файла 10 кБ", CodePageCp1251},
    };
    for (const auto& c : cases) {
        const Detection detection = Detect(Encode(c.text, c.page));
        EXPECT_TRUE(detection.page == c.page || (c.text.size() < 16 && detection.confidence < 90))
            << &c - cases << ": page " << detection.page << " confidence " << detection.confidence;
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
        Encode(U"Я", CodePageCp1251),
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

TEST(DetectCodePage, ReadsOnPastAHeadOfAsciiUpToItsReach)
{
    const Bytes russian = Encode(U"Съешь же ещё этих мягких французских булок, да выпей чаю. ", CodePageKoi8r);
    Bytes text(100, 'a');
    text.insert(text.end(), russian.begin(), russian.end());
    EXPECT_EQ(DetectCodePage(text.data(), 100).page, NoDecision) << "no further than count";
    EXPECT_EQ(Detect(text).page, CodePageKoi8r);

    // Russian text after a window's worth of ASCII counts; from just beyond
    // the reach, however much, does not.
    for (unsigned ascii : {DetectionWindow, DetectionReach - static_cast<unsigned>(russian.size()), DetectionReach}) {
        Bytes large(ascii, ' ');
        while (large.size() < ascii + 16384)
            large.insert(large.end(), russian.begin(), russian.end());
        EXPECT_EQ(Detect(large).page, ascii < DetectionReach ? CodePageKoi8r : NoDecision) << ascii;
    }
}

TEST(DetectTextEncoding, TellsAsciiUtf8AndUtf16FromTheCodePages)
{
    const auto utf16 = [](const std::u32string& text, bool bigEndian) {
        Bytes bytes;
        for (char32_t c : text) {
            bytes.push_back(static_cast<unsigned char>(bigEndian ? c >> 8 : c & 0xFF));
            bytes.push_back(static_cast<unsigned char>(bigEndian ? c & 0xFF : c >> 8));
        }
        return bytes;
    };
    const unsigned char utf8[] = "Привет, как дела?";  // this file is UTF-8
    const struct {
        Bytes bytes;
        int encoding;
    } cases[] = {
        {{}, EncodingAscii},
        {MakeBytes({'p', 'l', 'a', 'i', 'n', '\n'}), EncodingAscii},
        {Bytes(utf8, utf8 + sizeof utf8 - 1), EncodingUtf8},
        {MakeBytes({0xEF, 0xBB, 0xBF, 'a'}), EncodingUtf8},
        {utf16(U"Привет, как дела?", false), EncodingUtf16},
        {utf16(U"Привет, как дела?", true), EncodingUtf16Be},
        {utf16(U"plain text", false), EncodingUtf16},
        // Well-formed UTF-8, but as UTF-8 a Mongolian letter: a word in cp866.
        {Encode(U"сад", CodePageCp866), CodePageCp866},
        {Encode(U"Привет, как дела?", CodePageCp1251), CodePageCp1251},
    };
    for (const auto& c : cases) {
        const TextEncoding found = DetectTextEncoding(c.bytes.data(), static_cast<unsigned>(c.bytes.size()));
        EXPECT_EQ(found.encoding, c.encoding) << &c - cases;
    }
}

TEST(DetectionModel, ScoresDecodedTextAsItScoresTheBytesOfItsPage)
{
    // The yardstick for text already decoded is the one the pages are
    // measured with, so that candidate decodings of one text compare.
    const std::u32string text = U"Ђорђе, «Київ» — ПЪТ И ДОМ і кБ.";
    const Bytes bytes = Encode(text, CodePageCp1251);
    PageScores pages;
    ScoreCodePages(CyrillicModel, bytes.data(), static_cast<unsigned>(bytes.size()), pages);
    TextScore decoded;
    ScoreCodePoints(CyrillicModel, text.data(), static_cast<unsigned>(text.size()), decoded);
    const TextScore& page = pages.page[CodePageCp1251];
    for (int language = 0; language < LanguageCount; ++language)
        EXPECT_EQ(decoded.language[language], page.language[language]) << language;
    EXPECT_EQ(decoded.shared, page.shared);
    EXPECT_EQ(decoded.letters, page.letters);
}

TEST(DetectionModel, ReadsARussianLetterOnlyWhereTheEngineHasThatLetter)
{
    // A regenerated model must agree with the conversion tables, or the
    // detector would name a page whose letters the converter maps elsewhere.
    for (int page = 0; page < CodePageCount; ++page) {
        int letters = 0;
        for (int byte = 0; byte < 256; ++byte) {
            const int token = CyrillicModel.token[page][byte];
            const int letter = token & (CapitalToken - 1);
            if (!IsLetterToken(token) || letter > LetterYo)
                continue;
            ++letters;
            const int capital = token >= CapitalToken;
            const int index = letter == LetterYo ? 65 + !capital : letter + 1 + (capital ? 0 : 32);
            EXPECT_EQ(IndexTable[page][byte], index) << "page " << page << " byte " << byte;
        }
        EXPECT_EQ(letters, 66) << "page " << page;
    }
}

// Text in any single-byte encoding of the engine, through its own table.
Bytes InPage(const std::u32string& text, int encoding)
{
    Bytes bytes;
    for (char32_t c : text) {
        unsigned byte = c < 0x80 ? c : 0;
        for (unsigned high = 0x80; high < 0x100 && byte == 0; ++high)
            byte = PageCharacters(encoding)[high - 0x80] == c ? high : 0;
        bytes.push_back(static_cast<unsigned char>(byte));
    }
    return bytes;
}

std::u32string Repeated(const std::u32string& text, size_t size)
{
    std::u32string out;
    while (out.size() < size)
        out += text;
    return out;
}

TEST(DetectTextEncoding, NamesTheFilesPeopleHaveOrIsNotSure)
{
    // Each was once taken for another encoding, at 90 % or more (box
    // drawing as capitals, a Ukrainian letter as box drawing), or not told
    // at all (Cyrillic among much Latin, or late). Right, or unsure.
    const std::u32string english = U"The configuration file is read at startup and again on SIGHUP.\n";
    const struct {
        std::u32string text;
        int encoding;
    } cases[] = {
        {U"  ╔════════════════╗\r\n  ║  Главное меню  ║\r\n  ╠════════════════╣\r\n  ║ 1. Открыть     ║\r\n"
         U"  ║ 2. Выход       ║\r\n  ╚════════════════╝\r\n", CodePageCp866},
        {U"[████████████░░░░░░░░░░░░] 50%\r\nЗагрузка...\r\n", CodePageCp866},
        {U"┌──────┬──────┐\n│ Имя  │ Цена │\n├──────┼──────┤\n│ Хлеб │  30  │\n└──────┴──────┘\n", CodePageKoi8r},
        {U"╔═══════════════════════╗\r\n║ Введите имя файла:    ║\r\n╚═══════════════════════╝\r\n", CodePageCp866},
        {U"<html><head><title>Test</title><style>body { margin: 0; font-family: Arial; }</style></head>"
         U"<body><p>Some English text, and then: Привет, как дела?</p></body></html>\n", CodePageCp1251},
        {U"<meta charset=\"koi8-r\"><p>The page in English with one word: документ.</p>\n", CodePageKoi8r},
        {U"int main(void)\n{\n    /* Открываем файл настроек */\n    return load(\"app.conf\");\n}\n", CodePageCp1251},
        {U"The configuration file is то read at startup and again on SIGHUP.\n", CodePageCp1251},
        {U"1\r\n00:00:01,000 --> 00:00:03,500\r\nГде ты был?\r\n\r\n2\r\n00:00:04,000 --> 00:00:05,000\r\nДома.\r\n",
         CodePageKoi8r},
        {Repeated(english, 70 * 1024) + U"Съешь же ещё этих мягких французских булок, да выпей чаю.\n" +
             Repeated(english, 20 * 1024), CodePageMac},
        {U"слово\n" + Repeated(english, 80 * 1024) + U"Съешь же ещё этих мягких французских булок, да выпей чаю.\n",
         CodePageIso88595},
        {U"Їжак і ґанок", EncodingKoi8u},
        {U"Київ — столиця України, найбільше місто країни за кількістю населення.", EncodingKoi8u},
        {U"Київ — столиця України, найбільше місто країни за кількістю населення.", EncodingCp1125},
        {U"ООО «РОГА»", CodePageCp1251},
        {U"СССР", CodePageCp1251},
        {U"[ПЪТ]", CodePageCp1251},
        {U"ООО", CodePageCp1251},
        {U"КГБ", CodePageCp1251},
        {U"КПП", CodePageCp1251},
        {U"ООО", CodePageKoi8r},
        {U"Да", CodePageCp1251},
        {U"ФСБ МВД ГИБДД", CodePageIso88595},
    };
    for (const auto& c : cases) {
        const Bytes bytes = InPage(c.text, c.encoding);
        const TextEncoding found = DetectTextEncoding(bytes.data(), static_cast<unsigned>(bytes.size()));
        const bool shortText = c.text.size() < 16;
        EXPECT_TRUE(found.encoding == c.encoding || (shortText && found.confidence < ConfidentEnough))
            << &c - cases << ": " << found.encoding << " at " << found.confidence;
        // The program's five pages: never a page that garbles the text.
        const Detection page = DetectCodePage(bytes.data(), static_cast<unsigned>(bytes.size()));
        EXPECT_TRUE(page.page == c.encoding || page.confidence < ConfidentEnough)
            << &c - cases << ": page " << page.page << " at " << page.confidence;
    }
}

} // namespace
