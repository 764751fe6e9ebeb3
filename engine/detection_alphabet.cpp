// What each character is to the code page detector.
#include "detection_model.h"

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
    if (c < 0xA0 || c == 0xFFFD || (c >= 0x2500 && c <= 0x259F))
        return RareCost;
    if (c < 0xC0 || (c >= 0x2000 && c <= 0x20CF) || c == 0x2122)
        return SymbolCost;
    return ForeignCost;
}
