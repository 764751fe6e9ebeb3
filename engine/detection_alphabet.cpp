// What each character is to the code page detector.
#include "detection_model.h"

#include "repair_page_tables.h"
#include "unicode_tables.h"

namespace {

// What a non-letter costs beyond its pair, in eighths of a nat. Set, not
// counted: the corpora were typed with ASCII punctuation, while text from
// word processors holds the quotes and dashes of Cyrillic typography as
// often; the rest comes rarer the further it lies from running text, and a
// byte that a page leaves undefined, box drawing or a control character
// from 0x80 up hardly ever in text.
const int TypographyCost = 8;
const int LesserTypographyCost = 16;
const int SymbolCost = 40;
const int ForeignCost = 40;
const int RareCost = 88;

// The letters from U+0450 (small) and U+0400 (capital) on, -1 where none.
const signed char ExtraLetters[16] = {
    -1, LetterYo, LetterDje, LetterGje, LetterYe, LetterDze, LetterI, LetterYi,
    LetterJe, LetterLje, LetterNje, LetterTshe, LetterKje, -1, LetterShortU, LetterDzhe,
};

// The arms of the box drawing characters U+2500..U+257F that reach the
// neighbours on the line: B both ways, R right only, L left only, V neither.
const char BoxArms[] =
    "BBVVBBVVBBVVRRRRLLLLRRRRLLLLRRRRRRRRLLLLLLLLBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBVVBVRRRLLLRRRLLLRRRLLLBBBBBBBBB"
    "RLLRBBBLVRVLVRVBVBV";
static_assert(sizeof BoxArms == 0x80 + 1, "an entry for each box drawing character");

int BoxSymbol(char32_t c)
{
    if (c >= 0x2500 && c < 0x2580) {
        switch (BoxArms[c - 0x2500]) {
        case 'B': return SymbolBoxBoth;
        case 'R': return SymbolBoxRight;
        case 'L': return SymbolBoxLeft;
        default: return SymbolBoxSide;
        }
    }
    if ((c >= 0x2580 && c < 0x25A0) || c == 0x25A0)
        return SymbolShade;
    return -1;
}

// What box drawing costs beyond its pair: the plain lines of a frame least,
// its corners more, the joints of a table more again, and the joints of
// single and double lines, which few screens draw, most.
int BoxCost(char32_t c)
{
    switch (c) {
    case 0x2500: case 0x2502: case 0x2550: case 0x2551:  // ─ │ ═ ║
    case 0x2588: case 0x2591: case 0x2592: case 0x2593:  // █ ░ ▒ ▓
        return TypographyCost;
    case 0x250C: case 0x2510: case 0x2514: case 0x2518:  // ┌ ┐ └ ┘
    case 0x2554: case 0x2557: case 0x255A: case 0x255D:  // ╔ ╗ ╚ ╝
        return LesserTypographyCost;
    case 0x251C: case 0x2524: case 0x252C: case 0x2534: case 0x253C:  // ├ ┤ ┬ ┴ ┼
    case 0x2560: case 0x2563: case 0x2566: case 0x2569: case 0x256C:  // ╠ ╣ ╦ ╩ ╬
    case 0x2580: case 0x2584: case 0x258C: case 0x2590: case 0x25A0:  // ▀ ▄ ▌ ▐ ■
        return 24;
    }
    return SymbolCost;
}

bool IsLatinLetter(char32_t c)
{
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
        return true;
    return (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}

} // namespace

int DetectionTokenOf(char32_t c)
{
    if (c >= 0x430 && c <= 0x44F)
        return static_cast<int>(c - 0x430);
    if (c >= 0x410 && c <= 0x42F)
        return CapitalToken + static_cast<int>(c - 0x410);
    if (c >= 0x450 && c <= 0x45F && ExtraLetters[c - 0x450] >= 0)
        return ExtraLetters[c - 0x450];
    if (c >= 0x400 && c <= 0x40F && ExtraLetters[c - 0x400] >= 0)
        return CapitalToken + ExtraLetters[c - 0x400];
    if (c == 0x491 || c == 0x490)
        return (c == 0x490 ? CapitalToken : 0) + LetterGhe;
    switch (c) {
    case '\n': case '\r':
        return LineEndToken;
    case ' ': case '\t': case '\v': case '\f': case 0x1A: case 0x1B:
        return TokenOfSymbol(SymbolSpace);
    case 0xA0:  // a no-break space stands between two words, never in a run of spaces
        return TokenOfSymbol(SymbolMark);
    case '.': case '!': case '?': case 0x2026:  // …
        return TokenOfSymbol(SymbolStop);
    case '"': case 0x201C: case 0x2018:  // “ ‘
        return TokenOfSymbol(SymbolQuote);
    case 0xAB: case 0x201E: case 0x201A: case 0x2039:  // « „ ‚ ‹
        return TokenOfSymbol(SymbolOpenQuote);
    case 0xBB: case 0x201D: case 0x203A:  // » ” ›
        return TokenOfSymbol(SymbolCloseQuote);
    case '\'': case 0x2019: case 0x2BC:  // ’ ʼ
        return TokenOfSymbol(SymbolApostrophe);
    case '-': case 0x2010: case 0x2011:
        return TokenOfSymbol(SymbolHyphen);
    case 0x2012: case 0x2013: case 0x2014: case 0x2015:
        return TokenOfSymbol(SymbolDash);
    }
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
        return ControlToken;
    if (c >= '0' && c <= '9')
        return TokenOfSymbol(SymbolDigit);
    if (IsLatinLetter(c))
        return TokenOfSymbol(SymbolLatin);
    if (c < 0x80)
        return TokenOfSymbol(SymbolMark);
    // № stands before a number, as a digit does, never right after a word.
    if (c == 0x2116)
        return TokenOfSymbol(SymbolDigit);
    const int box = BoxSymbol(c);
    if (box >= 0)
        return TokenOfSymbol(box);
    const bool punctuation = c < 0xC0 || (c >= 0x2000 && c <= 0x206F) || c == 0x2116 || c == 0x2122 || c == 0x20AC;
    return TokenOfSymbol(punctuation ? SymbolMark : SymbolRare);
}

int DetectionCostOf(char32_t c)
{
    if (c < 0x80 || IsLetterToken(DetectionTokenOf(c)))
        return 0;
    switch (c) {
    case 0xAB: case 0xBB: case 0x201E: case 0x201C: case 0x201D:  // « » „ “ ”
    case 0x2013: case 0x2014: case 0x2019:  // – — ’
        return TypographyCost;
    case 0x2018: case 0x201A: case 0x2026: case 0x2116: case 0xA0: case 0x2BC:  // ‘ ‚ … № no-break space ʼ
        return LesserTypographyCost;
    }
    if (BoxSymbol(c) >= 0)
        return BoxCost(c);
    if (c < 0xA0 || c == 0xFFFD)
        return RareCost;
    // The signs of formulas, which running text hardly holds (Macintosh
    // Cyrillic has them where cp1251 has capitals).
    switch (c) {
    case 0xAC: case 0x192: case 0x2202: case 0x2206: case 0x220F: case 0x2211: case 0x221A: case 0x221E:  // ¬ ƒ ∂ ∆ ∏ ∑ √ ∞
    case 0x222B: case 0x2248: case 0x2260: case 0x25CA:  // ∫ ≈ ≠ ◊
        return RareCost;
    }
    if (c < 0xC0 || (c >= 0x2000 && c <= 0x20CF) || c == 0x2122)
        return SymbolCost;
    return ForeignCost;
}

char32_t ReadingCharacter(int reading, unsigned byte)
{
    if (byte < 0x80)
        return byte;
    if (reading < CodePageCount)
        return UnicodeOfByte[reading][byte - 0x80];
    return UnicodeOfRepairPageByte[reading == ReadingKoi8u ? RepairPageKoi8u : RepairPageCp1125][byte - 0x80];
}
