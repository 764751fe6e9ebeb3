#include <gtest/gtest.h>

#include <string>

#include "repair_scoring.h"
#include "text_repair.h"

namespace {

std::string Utf8(const std::u16string& text)
{
    std::string out;
    for (size_t at = 0; at < text.size(); ++at) {
        char32_t c = text[at];
        if (c >= 0xD800 && c < 0xDC00 && at + 1 < text.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++at] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct Repaired {
    std::string text;
    TextRepair repair;
    std::string chain;
};

// Repairs in place, as the program does with the clipboard's text, and into
// another buffer, as tarvoconv does; the two must agree.
Repaired Repair(const std::u16string& text)
{
    static RepairWorkspace workspace;
    std::u16string apart(text.size(), u'\0');
    unsigned apartLength = 0;
    RepairText(text.data(), static_cast<unsigned>(text.size()), &apart[0], &apartLength, workspace);
    apart.resize(apartLength);
    std::u16string inPlace = text;
    unsigned length = 0;
    const TextRepair repair =
        RepairText(inPlace.data(), static_cast<unsigned>(inPlace.size()), &inPlace[0], &length, workspace);
    inPlace.resize(length);
    EXPECT_EQ(Utf8(apart), Utf8(inPlace));
    char chain[160];
    DescribeRepair(repair, chain, sizeof chain);
    return {Utf8(inPlace), repair, chain};
}

TEST(RepairText, UndoesEachKindOfGarbling)
{
    // Each garbled string made from its text with iconv: the text written in
    // the first encoding, the bytes read as the second (and again).
    const struct {
        std::u16string garbled;
        std::string text;
        std::string chain;
    } cases[] = {
        {u"РџСЂРёРІРµС‚", "Привет", "UTF-8 read as cp1251"},
        {u"ÐŸÑ€Ð¸Ð²ÐµÑ‚", "Привет", "UTF-8 read as cp1252"},
        {u"Ïðèâåò", "Привет", "cp1251 read as cp1252"},
        {u"дПВТЩК ДЕОШ", "Добрый день", "KOI8-R read as cp1251"},
        {u"дНАПШИ ДЕМЭ", "Добрый день", "cp1251 read as KOI8-R"},
        {u"ЏаЁўҐв", "Привет", "cp866 read as cp1251"},
        {u"п÷я─п╦п╡п╣я┌", "Привет", "UTF-8 read as KOI8-R"},
        {u"ÑÅÊÐÅÒ - Áåñïå÷íûé Åçäîê - 0:00", "СЕКРЕТ - Беспечный Ездок - 0:00", "cp1251 read as cp1252"},
        {u"п∙я│п╩п╦ п▓я▀ п╫п╣", "Если Вы не", "UTF-8 read as KOI8-R"},
        {u"Ð\u00A0ÑŸÐ¡Ð‚Ð\u00A0Ñ‘Ð\u00A0Ð†Ð\u00A0ÂµÐ¡â€š, Ð\u00A0Ñ”Ð\u00A0Â°Ð\u00A0Ñ” Ð\u00A0Ò‘Ð\u00A0ÂµÐ\u00A0Â»Ð\u00A0Â°? "
         u"Ð\u00A0â€™Ð¡ÐƒÐ¡â€˜ Ð¡â€¦Ð\u00A0Ñ•Ð¡Ð‚Ð\u00A0Ñ•Ð¡â‚¬Ð\u00A0Ñ•.",
         "Привет, как дела? Всё хорошо.", "UTF-8 read as cp1251, then UTF-8 read as cp1252"},
        {u"Ã•Ã®Ã°Ã®Ã¸Ã\u00A0Ã¿ Ã¯Ã®Ã£Ã®Ã¤Ã\u00A0 Ã±Ã¥Ã£Ã®Ã¤Ã\u00ADÃ¿", "Хорошая погода сегодня",
         "cp1251 read as cp1252, then UTF-8 read as cp1252"},
        {u"Дрчфэл депы, дфияыу", "Добрый день, друзья", "KOI8-R read as cp1251, then KOI8-R read as cp1251"},
        // Macintosh Cyrillic's 0xFF read as the euro sign and as the
        // currency sign: cp1251's я either way.
        {u"ћо€ семь€ и друзь€ знают, что € приеду", "Моя семья и друзья знают, что я приеду",
         "cp1251 read as Macintosh Cyrillic"},
        {u"ћо¤ семь¤ и друзь¤ знают, что ¤ приеду", "Моя семья и друзья знают, что я приеду",
         "cp1251 read as Macintosh Cyrillic"},
        // cp1252 leaves 0x81 and 0x9D undefined; they pass as C1 controls.
        {u"Ð¡Ð¿Ð°Ñ\u0081Ð¸Ð±Ð¾, Ð\u009DÐ¸Ð½Ð°", "Спасибо, Нина", "UTF-8 read as cp1252"},
    };
    for (const auto& c : cases) {
        const Repaired repaired = Repair(c.garbled);
        EXPECT_EQ(repaired.text, c.text) << Utf8(c.garbled);
        EXPECT_EQ(repaired.chain, c.chain) << Utf8(c.garbled);
        EXPECT_EQ(repaired.repair.parts, 1u) << Utf8(c.garbled);
        EXPECT_GE(repaired.repair.confidence, 50) << Utf8(c.garbled);
    }
}

TEST(RepairText, LeavesCleanTextAsItIs)
{
    const std::u16string texts[] = {
        u"Привет, как дела? Всё хорошо.",
        u"Київ — столиця України, найбільше місто країни.",
        u"Хубаво е да си у дома си, в България.",
        u"Београд је главни и највећи град Србије.",
        u"Мінск — сталіца Рэспублікі Беларусь, горад-герой.",
        u"Скопје е главен и најголем град во Македонија.",
        u"The quick brown fox jumps over the lazy dog. Café, naïve, Müller, Straße.",
        u"Windows 10 и Linux: «Быстрый старт» — глава 3, стр. 17…",
        u"ВНИМАНИЕ! НЕ ВСЕ ЙОГУРТЫ ОДИНАКОВО ПОЛЕЗНЫ",
        u"Демократия в СССР началась тогда, когда КГБ перестала успевать",
        u"\t\t-- Эбнер-Эшенбах",
        u"\t\t-- О. Нэш",
        u"Что?",
        u"Ё",
        u"",
        u"C:\\Program Files\\Tarvo\\tarvo.exe\r\n",
        u"😀 Смайлик",
        // Lines of the dictionaries and thesauri: rare words, word forms
        // over and over, abbreviations in mixed case.
        u"откъде-накъде|1",
        u"(същ.)|цвъртене|цвърчене|цвъркане|писукане",
        u"епюра епюрою епюру епюрі епюри епюрах епюрами епюрам епюр",
        u"ґелґнути ґелґнуть ґелґнете ґелґнемо ґелґне ґелґнеш ґелґну",
        u"СПбГУ",
        u"облУВС",
    };
    for (const std::u16string& text : texts) {
        const Repaired repaired = Repair(text);
        EXPECT_EQ(repaired.text, Utf8(text));
        EXPECT_EQ(repaired.repair.parts, 0u) << Utf8(text);
        EXPECT_EQ(repaired.chain, "") << Utf8(text);
    }
}

TEST(RepairText, LeavesTheCleanTextPeoplePasteAlone)
{
    // Each was once "repaired" into garbage: box drawing, Latin-script
    // languages, bullets, units, markup and typos before Cyrillic words.
    const std::u16string texts[] = {
        u"┌────┬──┐",
        u"════════",
        u"│ │ │     ├─ 4127 /libexec/gnome-terminal-server",
        u"systemd─┬─ModemManager───2*[{ModemManager}]",
        u"│   └── repair.md",
        u"l'ensemble des processus si des options « à la BSD » (sans « - ») sont",
        u"La prima è il tipo e può essere \"xkb\" o \"ibus\".",
        u"ÄÖÜ ÄÖÜ",
        u"Straße, Müller, Bäcker, Öl, Übung",
        u"••• ПРЕДУПРЕЖДЕНИЕ •••",
        u"avrxmega2 - XMEGA, > 8 кБ, < 64 кБ FLASH, < 64 кБ RAM",
        u"\\fBСпецифические CSI\\-последовательности консоли Linux\\fP",
        u"%sДигитални потписи.",
        u"IСвободно",
        u"шведска (SvДворак)",
        u"Фyфлоновые дискеты фирмы Verbatim.",
        u"α β γ δ ε π σ τ φ",
    };
    for (const std::u16string& text : texts) {
        const Repaired repaired = Repair(text);
        EXPECT_EQ(repaired.text, Utf8(text));
        EXPECT_EQ(repaired.repair.parts, 0u) << Utf8(text);
    }
}

TEST(RepairText, RepairsGarbageAmongMarksAndKeepsTheCleanWordsBesideIt)
{
    const struct {
        std::u16string text;
        std::string repaired;
    } cases[] = {
        // A printf mark, brackets, an option name in the line.
        {u"%s: íåâîçìîæíî îòêðûòü ôàéë %s", "%s: невозможно открыть файл %s"},
        {u"Ôðàíöóçñêàÿ (Ìàðîêêî)", "Французская (Марокко)"},
        {u"--help: ïîêàçàòü ýòó ñïðàâêó è âûéòè", "--help: показать эту справку и выйти"},
        // Clean words beside garbled ones stay as they are.
        {u"Мы были в РјРѕСЃРєРІРµ и в Киеве", "Мы были в москве и в Киеве"},
        {u"Я живу в дПВТЩК доме", "Я живу в Добрый доме"},
        {u"ОПХРЪЦХБЮБЬХИЯЪ лавках", "притягивавшийся лавках"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Repair(c.text).text, c.repaired) << Utf8(c.text);
}

TEST(RepairText, RepairsEachGarbledPartOnItsOwn)
{
    const struct {
        std::u16string text;
        std::string repaired;
        unsigned parts;
        bool mixed;
    } cases[] = {
        // A garbled line among clean ones, line ends kept.
        {u"Первая строка\r\nРџСЂРёРІРµС‚, РјРёСЂ\r\nТретья строка\r\n",
         "Первая строка\r\nПривет, мир\r\nТретья строка\r\n", 1, false},
        // A garbled field in a record.
        {u"42;Иванов;РџСЂРёРІРµС‚ РёР· РњРѕСЃРєРІС‹;2020", "42;Иванов;Привет из Москвы;2020", 1, false},
        {u"Москва дПВТЩК ДЕОШ, ДТХЪШС Москва", "Москва Добрый день, друзья Москва", 1, false},
        // A sign typed beside the garbage, which no chain undoes.
        {u"РџСЂРёРІРµС‚, РєР°Рє РґРµР»Р°? 5 €", "Привет, как дела? 5 €", 1, false},
        // Two lines garbled two ways.
        {u"Ïðèâåò, äðóçüÿ\nÐŸÑ€Ð¸Ð²ÐµÑ‚, Ð´Ñ€ÑƒÐ·ÑŒÑ\u008F", "Привет, друзья\nПривет, друзья", 2, true},
    };
    for (const auto& c : cases) {
        const Repaired repaired = Repair(c.text);
        EXPECT_EQ(repaired.text, c.repaired);
        EXPECT_EQ(repaired.repair.parts, c.parts) << c.repaired;
        EXPECT_EQ(repaired.repair.mixed, c.mixed) << c.repaired;
    }
}

TEST(RepairText, KeepsTheMarksOfLostCharacters)
{
    // UTF-8 read as cp1252 where a program wrote "?" or U+FFFD for the bytes
    // cp1252 leaves undefined: "с" (D1 81) and "Н" (D0 9D) are lost.
    const struct {
        std::u16string garbled;
        std::string repaired;
    } cases[] = {
        {u"Ð¡Ð¿Ð°Ñ?Ð¸Ð±Ð¾, Ð?Ð¸Ð½Ð°, Ð·Ð° Ð²Ñ?Ñ‘", "Спа?ибо, ?ина, за в?ё"},
        {u"Ð¡Ð¿Ð°Ñ\uFFFDÐ¸Ð±Ð¾, Ð\uFFFDÐ¸Ð½Ð°, Ð·Ð° Ð²Ñ\uFFFDÑ‘", "Спа\uFFFDибо, \uFFFDина, за в\uFFFDё"},
    };
    for (const auto& c : cases) {
        const Repaired repaired = Repair(c.garbled);
        EXPECT_EQ(repaired.text, c.repaired);
        EXPECT_EQ(repaired.repair.lost, 3u) << c.repaired;
        EXPECT_EQ(repaired.chain, "UTF-8 read as cp1252") << c.repaired;
    }
}

} // namespace

// The repair drops a candidate whose bound from its pairs passes the limit
// without reading it: the bound must never pass what the candidate costs,
// whatever it holds (lost characters passed over, scripts mixed, capitals).
TEST(RepairScoring, BoundFromPairsNeverPassesTheCost)
{
    const std::u32string texts[] = {
        U"Привет, как дела?", U"РџСЂРёРІРµС‚", U"дПВТЩК ДЕОШ", U"ЏаЁўҐв", U"п÷я─п╦п╡п╣я┌",
        U"Пр?вет в?ем", U"При\uFFFDет ?", U"ПРИВЕТ Hello мир 2024 №5", U"ÑÅÊÐÅÒ - Áåñïå÷íûé", U"aбcдeф", U"ΩмегаΣ дОМ",
    };
    const unsigned char* least = LeastPairCosts();
    for (const std::u32string& text : texts) {
        uint32_t bound = 0;
        for (size_t at = 0; at < text.size(); ++at) {
            const PairBounding here = PairBoundingOf(text[at]);
            bound += here.own;
            if (at > 0)
                bound += least[PairBoundingOf(text[at - 1]).pairClass * PairClassCount + here.pairClass];
        }
        CandidateScore score;
        ScoreCandidate(text.data(), static_cast<unsigned>(text.size()), ~0u, nullptr, 0, nullptr, score);
        EXPECT_LE(bound, score.cost) << "text " << &text - texts;
    }
}
