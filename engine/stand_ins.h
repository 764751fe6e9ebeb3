// What a character becomes in a code page that has no byte for it.
//
// Both conversions into a code page, from another code page and from
// Unicode with substitution, write the same ASCII byte for the same
// character, so that text reads the same whichever way it arrives. Only
// characters the other code pages hold, and their near kin, are named;
// everything else becomes '?'. Never a letter or a sign of another meaning:
// a Cyrillic letter only becomes the Latin letter that looks the same.
#pragma once

struct StandIn {
    unsigned char byte;  // an ASCII byte
    // The plain form that the characters the code pages share have always
    // had (a typographic quote '"', a dash '-'): nothing is lost that the
    // user needs told about. Every other stand-in is counted and reported.
    bool plainForm;
};

// The stand-in for a character from U+0080 up that the destination lacks.
StandIn StandInFor(char32_t character);

// The table itself, in ascending order of characters, for building look-ups
// and for the documentation's table.
struct StandInRange {
    char32_t first, last;
    unsigned char byte;
    bool plainForm;
};
extern const StandInRange StandInRanges[];
extern const int StandInRangeCount;
