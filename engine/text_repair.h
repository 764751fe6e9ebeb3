// Repairs text that was decoded wrongly once or twice on its way and now
// reads as garbage: "РџСЂРёРІРµС‚" is "Привет" written in UTF-8 and read as
// cp1251. Each wrong step is bytes written in one encoding and read as
// another; the repair finds the chain of one or two such steps that turned
// Cyrillic text into what it is given, and undoes it, where the undone text
// reads clearly better as Cyrillic text than the text as it is.
//
// The text is UTF-16, as the clipboard holds it. It is repaired part by
// part: each line on its own (so repairing a text line by line gives the
// same result), and within a line that cannot be repaired whole, each run
// of words between words that already read as Cyrillic or hold no letter. Text that reads
// well stays exactly as it is: a part is changed only when a chain undoes
// it exactly, byte for byte, into text that the language statistics score
// clearly better. A character lost on the way, a "?" or U+FFFD standing for
// bytes that a middle step could not hold, stays as it is, and the rest of
// its part is repaired around it.
//
// Portable, allocation-free and reentrant: all it needs beyond its input
// and output is the RepairWorkspace its caller gives.
#pragma once

#include <cstdint>

// The encodings a wrong step may write or read, the commoner first: where
// two chains undo a part into the same text, the one whose encodings come
// first here is named.
enum RepairEncoding {
    RepairUtf8,
    RepairCp1251,
    RepairKoi8r,
    RepairCp1252,
    RepairCp866,
    RepairLatin1,
    RepairIso88595,
    RepairMac,
    RepairKoi8u,
    RepairCp437,
    RepairCp850,
};
const int RepairEncodingCount = 11;

// The names people know the encodings by: "UTF-8", "cp1251", "KOI8-R",
// "Latin-1", "Macintosh Cyrillic", ...
const char* RepairEncodingName(int encoding);

// Bytes written in one encoding and read as another.
struct RepairStep {
    int written;  // RepairEncoding
    int read;     // RepairEncoding, never RepairUtf8
};

struct TextRepair {
    // Parts changed; 0 when the text needs no repair (nothing else below
    // then means anything).
    unsigned parts;
    // The chain undone in the most characters of the text, first step
    // first: one step or two.
    int steps;
    RepairStep step[2];
    // Whether other parts were undone by other chains.
    bool mixed;
    // 0..100: how sure the least sure repair of a part is.
    int confidence;
    // Characters kept as "?" or U+FFFD in the repaired parts, where the
    // bytes they stand for were lost.
    unsigned lost;
};

// A part longer than this many code units is cut at a space before it and
// repaired piece by piece.
const unsigned RepairPartLimit = 4096;

// What the repair works in: room for a part, three candidate readings of
// it, the running score of the part, where each character stands among the
// part's distinct ones, and the texts already weighed. About 100 KiB; one
// per thread that repairs.
struct RepairWorkspace {
    char32_t part[RepairPartLimit];
    char32_t middle[RepairPartLimit];
    char32_t candidate[RepairPartLimit];
    char32_t spare[RepairPartLimit];
    uint32_t pace[RepairPartLimit];
    unsigned char index[RepairPartLimit];
    unsigned char middleIndex[RepairPartLimit];
    uint64_t seen[1024];
    uint32_t seenCost[1024];
};

// Repairs count UTF-16 code units at text into repaired, which takes
// count code units at most: the repaired text is never longer. Returns how
// many it wrote through *length (the whole text as it is when nothing was
// repaired; text and repaired may be the same buffer). Ill-formed UTF-16
// (an unpaired surrogate) is kept as it is.
TextRepair RepairText(const char16_t* text, unsigned count, char16_t* repaired, unsigned* length,
                      RepairWorkspace& workspace);

// How many code units at text RepairText takes as its next piece, the line
// end after it not counted: the line, or of a line longer than
// RepairPartLimit the longest piece that fits, cut after a space. Text fed
// to RepairText in blocks cut here is repaired as it would be whole.
unsigned RepairPieceLength(const char16_t* text, unsigned count);

// Writes "UTF-8 read as cp1251" or "cp1251 read as KOI8-R, then UTF-8 read
// as cp1252" for a repair's chain into out (size bytes with the NUL);
// the empty string for a text that needed no repair.
void DescribeRepair(const TextRepair& repair, char* out, unsigned size);
