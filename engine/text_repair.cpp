#include "text_repair.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>

#include "repair_encodings.h"
#include "repair_scoring.h"
#include "unicode_units.h"

using namespace repair;

namespace {

// A repair must save at least this much (in eighths of a nat) over the text
// as it is, and hold this many Cyrillic letters: below that, garbage and
// text are too close to tell apart safely.
const uint32_t MinimumGain = 48;
const uint32_t MinimumLetters = 5;
// And a word of this many letters at least: words of two and three letters
// alone (ÄÖÜ read as ДЦЬ) say too little of a language.
const uint32_t MinimumLongestWord = 4;
// And it must read as text does: Cyrillic text in any of the six languages
// costs from 20 to 30 a letter, garbage from 45 up; what lies between words
// (spaces, punctuation, digits) costs up to 16 a character.
const uint32_t CleanLetterCost = 30;
const uint32_t CleanNonLetterCost = 16;
const uint32_t CleanSlack = 24;
// Or, where the text as it is costs at least this many times as much, or
// holds no Cyrillic letter and half its characters are what garbled text
// is made of, it may read a little worse: a short line with names, figures, brackets and dashes
// garbled twice is garbage by any measure, and its repair plain text.
const uint32_t ClearGainFactor = 2;
const uint32_t LooseLetterCost = 40;
const uint32_t LooseSlack = 48;
// Text without a character that garbled text is made of that costs no more
// than this is left as it is unsearched, and so is such text of fewer
// letters than this: too few for the statistics to tell an odd word (a
// name, a word of another language, an abbreviation) from a garbled one.
const uint32_t PlainLetterCost = 36;
const uint32_t PlainSlack = 48;
// Text in capitals reads cheaper (the statistics take the case of a word in
// capitals once, as a word), and so does garbage in capitals: cp1251 read
// as KOI8-R turns small letters into capitals.
const uint32_t PlainCapitalsLetterCost = 30;
const uint32_t PlainMinimumLetters = 12;
// Where the best one step leaves text that costs more than this a letter,
// two steps are tried too: KOI8-R read as cp1251 twice, undone once, is
// still letters in the wrong places, and reads only a little better.
const uint32_t OneStepLetterCost = 30;
const unsigned MinimumChanged = 3;
// The statistics take words in capitals lightly: text in capitals runs on
// cheaply. A repair that makes more of them than the text has must start
// from text that reads as garbage, above this a letter.
const uint32_t CapitalsGarbageLetterCost = 45;
// A fragment of a line must hold this many characters that garbled text is
// made of, and its repair this many letters.
const uint32_t FragmentStriking = 2;
const uint32_t FragmentLetters = 5;
// A character lost on the way costs the candidate this much: a chain that
// needs many losses to fit is a worse fit.
const uint32_t LostCost = 24;
// A "?" in the middle of a word breaks its pairs: a repair with losses
// reads as text all the same when it costs this much more for each.
const uint32_t LostAllowance = 64;
// A word of a repaired part stays as it was where it has this many letters
// and reads better so, by this much, among the repaired words around it:
// shorter words read as well either way too often.
const uint32_t KeptWordLetters = 4;
const uint32_t KeptWordGain = 8;
// How rare each encoding is in a wrong step, as a cost each time a chain
// names it: where the text speaks for two chains almost alike (cp1251 and
// Macintosh Cyrillic differ in capitals only), the commoner wins.
const uint32_t EncodingCost[RepairEncodingCount] = {0, 0, 0, 0, 4, 4, 8, 24, 8, 8, 8};

// A second step must earn its place among the thousands of two-step
// chains, some of which turn any short text into another that the
// statistics like a little better; the shorter the text, the likelier, so
// a repair in two steps must hold this many letters too, unless the text
// as it is costs this many times as much.
const uint32_t SecondStepCost = 56;
const uint32_t TwoStepMinimumLetters = 8;
const uint32_t ShortTwoStepGainFactor = 4;
// A repair that only swaps letters for letters costs at most this share
// less one of the text, in fifths.
const uint32_t SwapsGainShare = 5;
// How far behind the text as it is a candidate may fall on the way.
const uint32_t PaceSlack = 96;

// Runner-up candidates further behind the best than this hardly change the
// confidence: their scoring may stop there.
const uint32_t ConfidenceReach = 48;

// The most a text of these letters and characters may cost to read as text.
uint32_t CleanCost(uint32_t letters, uint32_t characters, uint32_t letterCost = CleanLetterCost)
{
    return letterCost * letters + CleanNonLetterCost * (characters - letters) + CleanSlack;
}

const unsigned Failed = ~0u;

struct Chain {
    int steps;
    RepairStep step[2];  // the first wrong step first
};

bool IsLost(char32_t c)
{
    return c == '?' || c == 0xFFFD;
}

// Undoes "written as `written`, read as `read`": each character back to its
// byte in read, the bytes decoded in written. Returns the characters made,
// or Failed where that is not exact.
unsigned UndoStep(const EncodingTables& tables, const char32_t* in, unsigned count, int written, int read,
                  char32_t* out, unsigned& lost)
{
    if (written != RepairUtf8) {
        const char32_t* characters = tables.character[written];
        for (unsigned at = 0; at < count; ++at) {
            const char32_t c = in[at];
            if (c < 0x80 || c == 0xFFFD) {
                out[at] = c;
                continue;
            }
            const unsigned byte = ByteOf(tables, read, c);
            if (byte == 0)
                return Failed;
            out[at] = characters[byte - 0x80];
        }
        return count;
    }
    unsigned made = 0;
    for (unsigned at = 0; at < count;) {
        const char32_t c = in[at];
        if (c < 0x80 || c == 0xFFFD) {
            out[made++] = c;
            ++at;
            continue;
        }
        const unsigned lead = ByteOf(tables, read, c);
        int following;
        char32_t value, lowest;
        if (lead >= 0xC2 && lead <= 0xDF)
            following = 1, value = lead & 0x1F, lowest = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF)
            following = 2, value = lead & 0x0F, lowest = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4)
            following = 3, value = lead & 0x07, lowest = 0x10000;
        else
            return Failed;
        ++at;
        char32_t lostAs = 0;
        for (int k = 0; k < following; ++k) {
            if (at == count)
                return Failed;
            const char32_t next = in[at++];
            if (IsLost(next)) {
                // A byte the middle step could not hold: the character is
                // lost, and the mark stays in its place.
                lostAs = next;
                break;
            }
            const unsigned byte = ByteOf(tables, read, next);
            if ((byte & 0xC0) != 0x80)
                return Failed;
            value = value << 6 | (byte & 0x3F);
        }
        if (lostAs != 0) {
            out[made++] = lostAs;
            ++lost;
            continue;
        }
        if (value < lowest || value > 0x10FFFF || IsSurrogate(value))
            return Failed;
        out[made++] = value;
    }
    return made;
}

char32_t SmallLetter(char32_t c)
{
    if (c >= 0x410 && c < 0x430)
        return c + 0x20;
    if (c >= 0x400 && c < 0x410)
        return c + 0x50;
    return c;
}

// What a candidate as long as the text changes in it.
bool IsCyrillicLetter(char32_t c)
{
    return (c >= 0x400 && c < 0x460) || c == 0x490 || c == 0x491;
}

struct Changes {
    unsigned changed = 0;
    unsigned ordinary = 0;  // of them, characters that text holds
    bool beyondCase = false;
    // Whether any change is more than a Cyrillic letter for another of the
    // same case.
    bool beyondSwaps = false;

    void Add(char32_t from, char32_t to, unsigned count, bool striking)
    {
        changed += count;
        ordinary += striking ? 0 : count;
        beyondCase |= SmallLetter(from) != SmallLetter(to);
        beyondSwaps |= !IsCyrillicLetter(from) || !IsCyrillicLetter(to) || (SmallLetter(from) == from) != (SmallLetter(to) == to);
    }

    // Whether that is enough to act on: more than the case of letters, and
    // at least MinimumChanged characters unless all it changes are
    // characters that text hardly holds, or the candidate holds fewer of
    // those than the text. A text in capitals is not garbled, though some
    // chains only change the case of letters (ISO-8859-5 read as cp1251
    // twice); a change of a letter or two says too little to act on where
    // it takes no garbage away (cp1251 read as Macintosh Cyrillic changes
    // only capitals and я), while KOI8-U read as KOI8-R turns і into box
    // drawing, which is garbage however few.
    bool Enough(bool lessGarbage) const
    {
        return beyondCase && (changed >= MinimumChanged || ordinary == 0 || lessGarbage);
    }
};

Changes ChangesIn(const char32_t* text, const char32_t* candidate, unsigned count)
{
    Changes changes;
    for (unsigned at = 0; at < count; ++at) {
        if (text[at] != candidate[at])
            changes.Add(text[at], candidate[at], 1, IsStriking(text[at]));
    }
    return changes;
}

bool SameText(const char32_t* one, unsigned oneCount, const char32_t* other, unsigned otherCount)
{
    return oneCount == otherCount && std::equal(one, one + oneCount, other);
}

// The characters from 0x80 up (but U+FFFD) that a text is made of, each
// once, with how often the text holds it: what a single-byte step does to
// the whole text it does to these, and so a chain of such steps can be
// weighed on them alone. A single-byte page reads bytes as 128 characters
// from 0x80 up: a text of more cannot have been read in one.
class CharacterSet {
public:
    static const unsigned Size = 128;

    // Writes where each character of the text stands among them into
    // index, Unmapped for ASCII and U+FFFD, which no step changes.
    void Build(const char32_t* text, unsigned count, unsigned char* index)
    {
        size_ = 0;
        marks_ = 0;
        full_ = false;
        std::memset(slot_, 0, sizeof slot_);
        for (unsigned at = 0; at < count; ++at) {
            const char32_t c = text[at];
            marks_ += IsLost(c);
            index[at] = Unmapped;
            if (c < 0x80 || c == 0xFFFD)
                continue;
            for (unsigned probe = (c * 2654435761u) >> 24;; ++probe) {
                uint8_t& slot = slot_[probe % SlotCount];
                if (slot == 0) {
                    if (size_ == Size) {
                        full_ = true;
                        return;
                    }
                    character_[size_] = c;
                    count_[size_] = 0;
                    striking_[size_] = IsStriking(c);
                    slot = static_cast<uint8_t>(++size_);
                }
                if (character_[slot - 1] == c) {
                    ++count_[slot - 1];
                    index[at] = static_cast<unsigned char>(slot - 1);
                    break;
                }
            }
        }
    }

    unsigned size() const { return size_; }
    bool full() const { return full_; }
    // The "?" and U+FFFD, which may stand for characters lost on the way.
    unsigned marks() const { return marks_; }
    const char32_t* characters() const { return character_; }
    char32_t character(unsigned i) const { return character_[i]; }
    uint32_t count(unsigned i) const { return count_[i]; }
    bool striking(unsigned i) const { return striking_[i]; }

private:
    static const unsigned SlotCount = 256;
    char32_t character_[Size];
    uint32_t count_[Size];
    bool striking_[Size];
    uint8_t slot_[SlotCount];
    unsigned size_ = 0;
    unsigned marks_ = 0;
    bool full_ = false;
};

// [encoding][byte - 0x80]: what a chain's candidate is weighed on before
// it is read, for the character of the byte, in one word: the least it
// adds to a text (LeastCostOf) from bit 0 and its own cost (PairBoundingOf)
// from bit OwnShift, so that one multiplication by how often it comes adds
// both (neither sum of a part's characters reaches 2^24), and its class for
// the bound from pairs from bit ClassShift. Built on first use, then only
// read.
const unsigned OwnShift = 24, ClassShift = 56;
const uint64_t SumsMask = (uint64_t(1) << ClassShift) - 1;
const uint64_t SumMask = (uint64_t(1) << OwnShift) - 1;
static_assert(RepairPartLimit * 255 < (1u << OwnShift), "the sums of a part's characters stay apart");

struct LeastCosts {
    uint64_t ofByte[RepairEncodingCount][128];
    // [written][byte - 0x80]: the single-byte encodings that hold the
    // character of the byte, and [written][read][byte - 0x80] its byte in
    // read (0 where read has none): the way a second undo starts from the
    // bytes the first one read.
    uint16_t holders[RepairEncodingCount][128];
    unsigned char byteIn[RepairEncodingCount][RepairEncodingCount][128];
};

const LeastCosts& LeastCostsOnce(const EncodingTables& tables)
{
    static const LeastCosts costs = [&tables] {
        LeastCosts built = {};
        for (int encoding = 1; encoding < RepairEncodingCount; ++encoding) {
            for (int byte = 0; byte < 128; ++byte) {
                const char32_t c = tables.character[encoding][byte];
                const PairBounding bounding = PairBoundingOf(c);
                built.ofByte[encoding][byte] = LeastCostOf(c) | uint64_t(bounding.own) << OwnShift |
                                               uint64_t(bounding.pairClass) << ClassShift;
                built.holders[encoding][byte] = HoldersOf(tables, c);
                for (int read = 1; read < RepairEncodingCount; ++read)
                    built.byteIn[encoding][read][byte] = static_cast<unsigned char>(ByteOf(tables, read, c));
            }
        }
        return built;
    }();
    return costs;
}

// The distinct pairs of neighbouring characters of a text whose characters
// from 0x80 up a chain maps (CharacterSet, index), with how often each
// comes: what a map makes of the text's pairs it makes of these, so the
// least a mapped text costs can be bounded on them (PairBoundingOf) before
// it is read. A side of a pair is the character's place in the set, or for
// a character no map changes, Mapped + its class.
// Pairs of two such characters cost the same in every map and are summed
// once. A text of more distinct pairs than there is room for is bounded on
// the first ones, which still bounds it.
class PairList {
public:
    static const unsigned Mapped = 128;  // CharacterSet::Size
    static const unsigned Sides = Mapped + PairClassCount;

    void Forget() { built_ = false; }
    bool built() const { return built_; }

    void Build(const char32_t* text, unsigned count, const unsigned char* index)
    {
        built_ = true;
        size_ = 0;
        fixed_ = 0;
        std::memset(slot_, 0, sizeof slot_);
        const unsigned char* least = LeastPairCosts();
        unsigned previous = Sides;
        for (unsigned at = 0; at < count; ++at) {
            unsigned side = index[at];
            if (side == Unmapped) {
                const PairBounding bounding = PairBoundingOf(text[at]);
                fixed_ += bounding.own;
                side = Mapped + bounding.pairClass;
            }
            if (previous != Sides)
                Add(previous, side, least);
            previous = side;
        }
    }

    // The least a text costs where the characters of the set are of the
    // classes in classOf (the classes of unmapped characters past Mapped)
    // and own own in all; it stops adding once past limit.
    uint32_t Bound(const unsigned char* classOf, uint32_t own, uint32_t limit) const
    {
        const unsigned char* least = LeastPairCosts();
        uint32_t bound = own + fixed_;
        unsigned k = 0;
        for (; k + 8 <= size_ && bound <= limit; k += 8) {
            for (unsigned j = k; j < k + 8; ++j)
                bound += count_[j] * least[classOf[from_[j]] * PairClassCount + classOf[to_[j]]];
        }
        for (; k < size_ && bound <= limit; ++k)
            bound += count_[k] * least[classOf[from_[k]] * PairClassCount + classOf[to_[k]]];
        return bound;
    }

private:
    void Add(unsigned from, unsigned to, const unsigned char* least)
    {
        if (from >= Mapped && to >= Mapped) {
            fixed_ += least[(from - Mapped) * PairClassCount + (to - Mapped)];
            return;
        }
        const unsigned key = from << 9 | to;
        for (unsigned probe = (key * 2654435761u) >> 22;; ++probe) {
            uint16_t& slot = slot_[probe % SlotCount];
            if (slot == 0) {
                if (size_ == Size)
                    return;
                from_[size_] = static_cast<uint16_t>(from);
                to_[size_] = static_cast<uint16_t>(to);
                count_[size_] = 0;
                slot = static_cast<uint16_t>(++size_);
            }
            if (from_[slot - 1] == from && to_[slot - 1] == to) {
                ++count_[slot - 1];
                return;
            }
        }
    }

    static const unsigned Size = 512;
    static const unsigned SlotCount = 1024;
    uint16_t from_[Size];
    uint16_t to_[Size];
    uint16_t count_[Size];
    uint16_t slot_[SlotCount];
    unsigned size_ = 0;
    uint32_t fixed_ = 0;  // what the unmapped characters and their pairs add
    bool built_ = false;
};

// Whether bytes can be well-formed UTF-8, counted over the characters of a
// text (their bytes and counts): as many continuation bytes as the lead
// bytes call for, but for sequences cut short by a lost character.
bool MayBeUtf8(const unsigned char* bytes, const CharacterSet& set)
{
    uint32_t needed = 0, following = 0;
    for (unsigned i = 0; i < set.size(); ++i) {
        const unsigned byte = bytes[i];
        const uint32_t count = set.count(i);
        if (byte < 0xC0)
            following += count;
        else if (byte >= 0xC2 && byte <= 0xDF)
            needed += count;
        else if (byte >= 0xE0 && byte <= 0xEF)
            needed += 2 * count;
        else if (byte >= 0xF0 && byte <= 0xF4)
            needed += 3 * count;
        else
            return false;
    }
    return following <= needed && needed <= following + 3 * set.marks();
}

// The encodings the Cyrillic text was first written in: a chain's first
// step writes Cyrillic, which cp1252, Latin-1, cp437 and cp850 cannot.
bool WritesCyrillic(int encoding)
{
    return encoding == RepairUtf8 || IsCyrillicPage(encoding);
}

// The search for the best chain for one part.
class PartSearch {
public:
    // A fragment is a run of words in a line that reads as Cyrillic
    // elsewhere: it must look garbled on its own, and its repair must be
    // surer, since the words around it speak for the line being clean.
    PartSearch(const EncodingTables& tables, RepairWorkspace& workspace, const char32_t* text, unsigned count,
               bool fragment)
        : tables_(tables), least_(LeastCostsOnce(tables)), workspace_(workspace), text_(text), count_(count),
          fragment_(fragment), scratch_(workspace.candidate)
    {
        ScoreCandidate(text, count, ~0u, nullptr, 0, workspace.pace, original_);
        for (unsigned k = 0; k < PairClassCount; ++k)
            classOf_[PairList::Mapped + k] = static_cast<unsigned char>(k);
    }

    // The table of texts weighed is left empty for the next part, as
    // RepairText found it: emptying the few slots used costs less than
    // emptying it all for every part.
    ~PartSearch()
    {
        for (unsigned k = 0; k < seenUsedCount_; ++k)
            workspace_.seen[seenUsed_[k]] = 0;
    }

    // Characters that garbled text is made of in the part.
    uint32_t striking() const { return original_.striking; }

    // Whether a chain undoes the part into clearly better text; then the
    // repaired part is in workspace.candidate. The chain that repaired the
    // part before, where there is one, is tried first: text garbled once
    // is garbled throughout, and a good repair found early makes the
    // others drop out early. The result is the same whatever comes first.
    bool Run(const Chain* likely)
    {
        if (original_.cost < MinimumGain)
            return false;
        // Plain text is left as it is without a search: the one garbling it
        // could hide is a capital or two in Macintosh Cyrillic read as
        // cp1251, too little to act on anyway.
        const uint32_t plainCost = 2 * original_.capitals > original_.letters ? PlainCapitalsLetterCost : PlainLetterCost;
        if (original_.striking == 0 &&
            (original_.cost <= plainCost * original_.letters + PlainSlack || original_.letters < PlainMinimumLetters))
            return false;
        if (fragment_ && (original_.striking < FragmentStriking || original_.cost < 2 * MinimumGain))
            return false;
        set_.Build(text_, count_, workspace_.index);
        if (set_.full())
            return false;
        best_.cost = original_.cost - Gain() + 1;
        likely_ = likely;
        SearchOneStep();
        // One step may leave garbage of another kind that reads a little
        // better: KOI8-R read as cp1251 twice, undone once, is still
        // letters in the wrong places.
        if ((best_.chain.steps == 0 && original_.cost > CleanCost(original_.letters, original_.characters)) ||
            (best_.chain.steps != 0 && best_.score > CleanCost(best_.letters, best_.characters, OneStepLetterCost)))
            SearchTwoSteps();
        if (best_.chain.steps == 0)
            return false;
        if (bestText_) {
            if (bestText_ != workspace_.candidate)
                std::copy(bestText_, bestText_ + best_.count, workspace_.candidate);
            repairedCount_ = best_.count;
            return true;
        }
        unsigned lost = 0;
        repairedCount_ = Undo(best_.chain, workspace_.candidate, lost);
        return repairedCount_ != Failed;
    }

    const Chain& chain() const { return best_.chain; }
    unsigned repairedCount() const { return repairedCount_; }
    unsigned lost() const { return best_.lost; }

    // The probability of the best reading among the text as it is, the best
    // candidate and the runner-up, as a percentage.
    int Confidence() const
    {
        const double scale = 1.0 / 8.0;
        double sum = 1.0 + std::exp(-(static_cast<double>(original_.cost) - best_.cost) * scale);
        if (second_ <= best_.cost + ConfidenceReach)
            sum += std::exp(-(static_cast<double>(second_) - best_.cost) * scale);
        return static_cast<int>(100.0 / sum);
    }

private:
    struct Best {
        Chain chain = {0, {{0, 0}, {0, 0}}};
        uint32_t cost = 0;   // with the chain's penalty
        uint32_t order = 0;  // ChainOrder
        uint32_t score = 0;  // the text's own
        uint32_t letters = 0;
        uint32_t characters = 0;
        unsigned lost = 0;
        unsigned count = 0;  // characters of the repaired text
    };

    // What an undo starts from: the part itself, or what undoing the last
    // step of a chain made of it. set holds the characters the changes are
    // counted against and maps act on: the part's, or where the last step
    // was UTF-8 and the text is no longer as long, that text's (base, with
    // index). before is what each of them stands as now; text is that
    // whole text, made when first needed.
    struct Stage {
        const CharacterSet* set;
        const char32_t* base;
        const unsigned char* index;
        const char32_t* before;
        Chain done;       // the last step, or none
        unsigned lost;
        bool asLong;      // as long as the part, character for character
        const char32_t* text;
        unsigned count;
        PairList* pairs;  // of base, built when first needed
        // Where before is what a single-byte page made of bytes: the page
        // and the bytes, for the tables; else null.
        const unsigned char* beforeBytes;
        int beforeWritten;
    };

    // Where two chains undo a part into the same text at the same cost,
    // the one that comes first in this order is named: fewer steps, and the
    // commoner encodings (text_repair.h) first.
    static uint32_t ChainOrder(const Chain& chain)
    {
        uint32_t order = chain.steps == 2 ? 1u << 16 : 0;
        for (int i = 0; i < chain.steps; ++i)
            order |= static_cast<uint32_t>(chain.step[i].read * RepairEncodingCount + chain.step[i].written) << (8 * (1 - i));
        return order;
    }

    // Undoes one step from the part into workspace.middle, where the undo
    // asked for last is kept: the likely chain's first undo is asked for
    // again by the search, and the best's at the end.
    unsigned UndoPartStep(const RepairStep& step, unsigned& lost)
    {
        if (!middleKept_ || middleStep_.written != step.written || middleStep_.read != step.read) {
            middleLost_ = 0;
            middleCount_ = UndoStep(tables_, text_, count_, step.written, step.read, workspace_.middle, middleLost_);
            middleStep_ = step;
            middleKept_ = true;
        }
        lost += middleLost_;
        return middleCount_;
    }

    unsigned Undo(const Chain& chain, char32_t* out, unsigned& lost)
    {
        if (chain.steps == 1)
            return UndoStep(tables_, text_, count_, chain.step[0].written, chain.step[0].read, out, lost);
        const unsigned middle = UndoPartStep(chain.step[1], lost);
        if (middle == Failed)
            return Failed;
        return UndoStep(tables_, workspace_.middle, middle, chain.step[0].written, chain.step[0].read, out, lost);
    }

    uint32_t Gain() const { return fragment_ ? 2 * MinimumGain : MinimumGain; }

    // No Cyrillic letter, and half the characters or more what garbled text
    // is made of.
    bool AllGarbage() const { return original_.letters == 0 && 2 * original_.striking >= original_.characters; }

    uint32_t Penalty(const Chain& chain, unsigned lost) const
    {
        uint32_t penalty = LostCost * lost + SecondStepCost * (chain.steps - 1);
        for (int i = 0; i < chain.steps; ++i)
            penalty += EncodingCost[chain.step[i].written] + EncodingCost[chain.step[i].read];
        return penalty;
    }

    // The most a candidate of count characters may cost to be of use.
    uint32_t Limit(unsigned count) const
    {
        return std::min({best_.cost + ConfidenceReach, original_.cost - Gain(),
                         LooseLetterCost * count + LooseSlack + LostAllowance * count / 4});
    }

    // Whether a text that chain makes of the part's characters as the map
    // with hash makes them was weighed already, at no more cost: then
    // weighing it again is of no use. The table forgets nothing but may
    // fill up, and then says no.
    bool Seen(uint64_t hash, uint32_t penalty, uint32_t order)
    {
        const uint64_t key = hash | 1;  // 0 is a free slot
        const unsigned size = sizeof workspace_.seen / sizeof workspace_.seen[0];
        for (unsigned probe = static_cast<unsigned>(hash >> 40), tries = 0; tries < 8; ++probe, ++tries) {
            const unsigned slot = probe % size;
            if (workspace_.seen[slot] == 0) {
                seenUsed_[seenUsedCount_++] = static_cast<uint16_t>(slot);
                workspace_.seen[slot] = key;
                workspace_.seenCost[slot] = penalty << 20 | order;
                return false;
            }
            if (workspace_.seen[slot] == key) {
                const uint32_t cost = penalty << 20 | order;
                if (workspace_.seenCost[slot] <= cost)
                    return true;
                workspace_.seenCost[slot] = cost;
                return false;
            }
        }
        return false;
    }

    static uint64_t HashOf(const char32_t* characters, unsigned size)
    {
        uint64_t hash = 14695981039346656037ull;
        for (unsigned i = 0; i < size; ++i)
            hash = (hash ^ characters[i]) * 1099511628211ull;
        return hash;
    }

    const char32_t* StageText(Stage& stage)
    {
        if (!stage.text) {
            unsigned lost = 0;
            stage.count = UndoPartStep(stage.done.step[0], lost);
            stage.text = workspace_.middle;
        }
        return stage.text;
    }

    // Tries every undo of one more step from a stage: each encoding its
    // characters may have been read as, each encoding they may have been
    // written in.
    void TryUndos(Stage& stage)
    {
        const CharacterSet& set = *stage.set;
        const unsigned size = set.size();
        const bool garbage = original_.striking != 0;
        unsigned char bytes[CharacterSet::Size];
        char32_t undone[CharacterSet::Size];
        uint16_t holders = SingleByteEncodings;
        if (stage.beforeBytes) {
            for (unsigned i = 0; i < size; ++i)
                holders &= least_.holders[stage.beforeWritten][stage.beforeBytes[i] - 0x80];
        } else {
            holders = HoldersOf(stage.before, size);
        }
        for (int read = 1; read < RepairEncodingCount; ++read) {
            // Read as one page and written back in the same one is the one
            // step from the first page to the last.
            if (!(holders >> read & 1) || (stage.done.steps == 1 && read == stage.done.step[0].written))
                continue;
            if (stage.beforeBytes) {
                const unsigned char* byteIn = least_.byteIn[stage.beforeWritten][read];
                for (unsigned i = 0; i < size; ++i)
                    bytes[i] = byteIn[stage.beforeBytes[i] - 0x80];
            } else {
                for (unsigned i = 0; i < size; ++i)
                    bytes[i] = static_cast<unsigned char>(ByteOf(tables_, read, stage.before[i]));
            }
            for (int written = 0; written < RepairEncodingCount; ++written) {
                if (written == read || !WritesCyrillic(written))
                    continue;
                const Chain chain = stage.done.steps == 0 ? Chain{1, {{written, read}, {0, 0}}}
                                                          : Chain{2, {{written, read}, stage.done.step[0]}};
                if (written == RepairUtf8) {
                    if (MayBeUtf8(bytes, set) && !IsLikely(chain))
                        TryText(chain, stage);
                    continue;
                }
                // The text this chain makes, weighed on the characters.
                const uint32_t penalty = Penalty(chain, stage.lost);
                const uint32_t limit = Limit(stage.count) - std::min(Limit(stage.count), penalty);
                const uint64_t* least = least_.ofByte[written];
                uint64_t sums = 0;
                for (unsigned i = 0; i < size; ++i) {
                    const uint64_t entry = least[bytes[i] - 0x80];
                    sums += set.count(i) * (entry & SumsMask);
                    classOf_[i] = static_cast<unsigned char>(entry >> ClassShift);
                }
                // Each test drops only a chain that Consider would drop, or
                // one weighed already: in whichever order, the same remain.
                // The characters are written out only for those left.
                if ((sums & SumMask) > limit || !MayCostNoMore(stage, static_cast<uint32_t>(sums >> OwnShift), limit))
                    continue;
                const char32_t* characters = tables_.character[written];
                bool changed = false;
                for (unsigned i = 0; i < size; ++i) {
                    undone[i] = characters[bytes[i] - 0x80];
                    changed |= undone[i] != stage.before[i];
                }
                if (!changed || (stage.asLong && Seen(HashOf(undone, size), penalty, ChainOrder(chain))))
                    continue;
                Changes changes;
                for (unsigned i = 0; i < size; ++i) {
                    if (undone[i] != set.character(i))
                        changes.Add(set.character(i), undone[i], set.count(i), set.striking(i));
                }
                if (!changes.Enough(garbage))
                    continue;
                Consider(chain, MappedText{stage.base, stage.index, undone}, stage.count, stage.lost,
                         stage.asLong ? &changes : nullptr);
            }
        }
    }

    // Whether the map of the stage's characters to the classes in classOf_,
    // whose characters own owned in all, may make text that costs no more
    // than limit, by a bound from its pairs: where it would cost more,
    // Consider would score it only to drop it.
    bool MayCostNoMore(Stage& stage, uint32_t owned, uint32_t limit)
    {
        PairList& pairs = *stage.pairs;
        if (!pairs.built())
            pairs.Build(stage.base, stage.count, stage.index);
        return pairs.Bound(classOf_, owned, limit) <= limit;
    }

    // Undoes the last step of chain from the stage's whole text.
    void TryText(const Chain& chain, Stage& stage)
    {
        unsigned lost = stage.lost;
        const char32_t* text = StageText(stage);
        const unsigned made =
            UndoStep(tables_, text, stage.count, chain.step[0].written, chain.step[0].read, scratch_, lost);
        if (made != Failed && !SameText(text, stage.count, scratch_, made))
            Consider(chain, MappedText{scratch_, nullptr, nullptr}, made, lost, nullptr);
    }

    // The single-byte encodings that hold every one of the characters.
    uint16_t HoldersOf(const char32_t* characters, unsigned size) const
    {
        uint16_t holders = SingleByteEncodings;
        for (unsigned i = 0; i < size && holders != 0; ++i)
            holders &= repair::HoldersOf(tables_, characters[i]);
        return holders;
    }

    bool IsLikely(const Chain& chain) const
    {
        if (!likely_ || likely_->steps != chain.steps)
            return false;
        for (int i = 0; i < chain.steps; ++i) {
            if (likely_->step[i].written != chain.step[i].written || likely_->step[i].read != chain.step[i].read)
                return false;
        }
        return true;
    }

    // One chain on its own, before the search.
    void TryChain(const Chain& chain)
    {
        unsigned lost = 0;
        const unsigned made = Undo(chain, scratch_, lost);
        if (made != Failed && !SameText(text_, count_, scratch_, made))
            Consider(chain, MappedText{scratch_, nullptr, nullptr}, made, lost, nullptr);
    }

    // Weighs a candidate: one written out (index null), or a map of the
    // part's characters, or of the text a UTF-8 step left, which is never
    // as long as the part. known is what a map changes, where it is known.
    void Consider(const Chain& chain, const MappedText& candidate, unsigned count, unsigned lost, const Changes* known)
    {
        Changes changes;
        if (count == count_) {
            changes = known ? *known : ChangesIn(text_, candidate.text, count);
            if (!changes.Enough(original_.striking != 0))
                return;
        }
        const uint32_t penalty = Penalty(chain, lost);
        const uint32_t limit = Limit(count);
        if (penalty > limit)
            return;
        CandidateScore score;
        // A candidate as long as the text keeps pace with it, or drops out:
        // one that falls far behind on the way hardly catches up.
        const uint32_t* pace = count == count_ ? workspace_.pace : nullptr;
        const bool scored = candidate.index ? ScoreCandidate(candidate, count, limit - penalty, pace, PaceSlack, score)
                                            : ScoreCandidate(candidate.text, count, limit - penalty, pace, PaceSlack,
                                                             nullptr, score);
        if (!scored)
            return;
        if (score.letters < (fragment_ ? FragmentLetters : MinimumLetters) || score.letters < 4 * lost ||
            score.longestWord < MinimumLongestWord)
            return;
        if (score.cost > CleanCost(score.letters, score.characters) + LostAllowance * lost &&
            ((original_.cost < ClearGainFactor * score.cost && !AllGarbage()) ||
             score.cost > LooseLetterCost * score.letters + CleanNonLetterCost * (score.characters - score.letters) +
                              LooseSlack + LostAllowance * lost))
            return;
        // A repair takes garbage away: it leaves no more characters that text
        // hardly holds than it found.
        if (score.striking > original_.striking)
            return;
        if (count == count_ && !changes.Enough(false) && score.striking >= original_.striking)
            return;
        // Text without garbage whose only changes would be letters for
        // letters of the same case (ґ for і, which cp1251 and Macintosh
        // Cyrillic swap) must read clearly worse than its repair, by a
        // fifth: a rare word is no garbled one, while letters shuffled
        // twice (KOI8-R read as cp1251 twice) read far worse.
        if (count == count_ && !changes.beyondSwaps && original_.striking == 0 &&
            SwapsGainShare * (score.cost + penalty) > (SwapsGainShare - 1) * original_.cost)
            return;
        if (score.capitals > original_.capitals &&
            original_.cost <= CapitalsGarbageLetterCost * original_.letters)
            return;
        if (chain.steps == 2 && score.letters < TwoStepMinimumLetters &&
            original_.cost < ShortTwoStepGainFactor * score.cost)
            return;
        // Two chains that give the same text score it the same: the
        // runner-up is the best other text.
        const uint32_t cost = score.cost + penalty;
        const uint32_t order = ChainOrder(chain);
        const bool sameText = best_.chain.steps != 0 && score.cost == best_.score;
        if (cost < best_.cost || (cost == best_.cost && best_.chain.steps != 0 && order < best_.order)) {
            if (best_.chain.steps != 0 && !sameText)
                second_ = std::min(second_, best_.cost);
            best_.chain = chain;
            best_.cost = cost;
            best_.order = order;
            best_.score = score.cost;
            best_.letters = score.letters;
            best_.characters = score.characters;
            best_.lost = lost;
            best_.count = count;
            // A best text written out is kept, and the next one written
            // elsewhere: it need not be undone again at the end.
            if (!candidate.index && candidate.text == scratch_) {
                bestText_ = scratch_;
                scratch_ = scratch_ == workspace_.candidate ? workspace_.spare : workspace_.candidate;
            } else {
                bestText_ = nullptr;
            }
        } else if (!sameText) {
            second_ = std::min(second_, cost);
        }
    }

    void SearchOneStep()
    {
        if (likely_ && likely_->steps == 1)
            TryChain(*likely_);
        Stage stage = {&set_, text_, workspace_.index, set_.characters(), {0, {{0, 0}, {0, 0}}}, 0, true, text_, count_,
                       &pairs_, nullptr, 0};
        TryUndos(stage);
    }

    void SearchTwoSteps()
    {
        if (likely_ && likely_->steps == 2)
            TryChain(*likely_);
        const unsigned size = set_.size();
        unsigned char bytes[CharacterSet::Size];
        const unsigned MaxMiddles = RepairEncodingCount * RepairEncodingCount;
        uint64_t middleHash[MaxMiddles];
        uint32_t middlePenalty[MaxMiddles];
        unsigned middles = 0;
        const uint16_t holders = HoldersOf(set_.characters(), size);
        for (int lastRead = 1; lastRead < RepairEncodingCount; ++lastRead) {
            if (!(holders >> lastRead & 1))
                continue;
            for (unsigned i = 0; i < size; ++i)
                bytes[i] = static_cast<unsigned char>(ByteOf(tables_, lastRead, set_.character(i)));
            for (int lastWritten = 0; lastWritten < RepairEncodingCount; ++lastWritten) {
                if (lastWritten == lastRead)
                    continue;
                const Chain done = {1, {{lastWritten, lastRead}, {0, 0}}};
                if (lastWritten == RepairUtf8) {
                    // The text is no longer as long: what the first undo
                    // makes of it is a text of its own.
                    if (!MayBeUtf8(bytes, set_))
                        continue;
                    unsigned lost = 0;
                    const unsigned middle = UndoPartStep(done.step[0], lost);
                    if (middle == Failed || SameText(text_, count_, workspace_.middle, middle))
                        continue;
                    middleSet_.Build(workspace_.middle, middle, workspace_.middleIndex);
                    if (middleSet_.full())
                        continue;
                    middlePairs_.Forget();
                    Stage stage = {&middleSet_, workspace_.middle, workspace_.middleIndex, middleSet_.characters(),
                                   done, lost, false, workspace_.middle, middle, &middlePairs_, nullptr, 0};
                    TryUndos(stage);
                    continue;
                }
                bool changed = false;
                for (unsigned i = 0; i < size; ++i) {
                    middle_[i] = tables_.character[lastWritten][bytes[i] - 0x80];
                    changed |= middle_[i] != set_.character(i);
                }
                if (!changed)
                    continue;
                // A middle text made before by a step as cheap gives the
                // same texts again, none cheaper.
                const uint64_t hash = HashOf(middle_, size);
                const uint32_t penalty = EncodingCost[lastWritten] + EncodingCost[lastRead];
                bool again = false;
                for (unsigned k = 0; k < middles && !again; ++k)
                    again = middleHash[k] == hash && middlePenalty[k] <= penalty;
                if (again)
                    continue;
                if (middles < MaxMiddles) {
                    middleHash[middles] = hash;
                    middlePenalty[middles++] = penalty;
                }
                Stage stage = {&set_, text_, workspace_.index, middle_, done, 0, true, nullptr, count_, &pairs_, bytes,
                               lastWritten};
                TryUndos(stage);
            }
        }
    }

    const EncodingTables& tables_;
    const LeastCosts& least_;
    RepairWorkspace& workspace_;
    const char32_t* text_;
    unsigned count_;
    bool fragment_;
    CandidateScore original_;
    CharacterSet set_, middleSet_;
    char32_t middle_[CharacterSet::Size];  // what the last undo made of set_'s characters
    PairList pairs_, middlePairs_;        // of the part, and of the text a UTF-8 undo made of it
    unsigned char classOf_[PairList::Sides];  // a map's classes, then the unmapped ones' (PairList)
    const Chain* likely_ = nullptr;
    char32_t* scratch_;                   // where the next candidate is written out
    const char32_t* bestText_ = nullptr;  // the best's text, where it was written out
    bool middleKept_ = false;             // what UndoPartStep keeps in workspace.middle
    RepairStep middleStep_ = {0, 0};
    unsigned middleCount_ = 0, middleLost_ = 0;
    Best best_;
    static const unsigned SeenSize = sizeof(RepairWorkspace::seen) / sizeof(RepairWorkspace::seen[0]);
    uint16_t seenUsed_[SeenSize];  // the slots of the table of texts weighed this part filled
    unsigned seenUsedCount_ = 0;
    uint32_t second_ = ~0u;
    unsigned repairedCount_ = 0;
};

// What RepairText gathers over the parts.
class Summary {
public:
    void Add(const Chain& chain, unsigned characters, int confidence, unsigned lost)
    {
        ++repair_.parts;
        repair_.lost += lost;
        repair_.confidence = repair_.parts == 1 ? confidence : std::min(repair_.confidence, confidence);
        for (int i = 0; i < used_; ++i) {
            if (SameChain(chains_[i], chain)) {
                characters_[i] += characters;
                return;
            }
        }
        if (used_ < MaxChains) {
            chains_[used_] = chain;
            characters_[used_++] = characters;
        }
    }

    TextRepair Result()
    {
        if (repair_.parts == 0)
            return repair_;
        int most = 0;
        for (int i = 1; i < used_; ++i) {
            if (characters_[i] > characters_[most])
                most = i;
        }
        repair_.steps = chains_[most].steps;
        repair_.step[0] = chains_[most].step[0];
        repair_.step[1] = chains_[most].step[1];
        repair_.mixed = used_ > 1;
        return repair_;
    }

private:
    static bool SameChain(const Chain& one, const Chain& other)
    {
        for (int i = 0; i < one.steps; ++i) {
            if (one.step[i].written != other.step[i].written || one.step[i].read != other.step[i].read)
                return false;
        }
        return one.steps == other.steps;
    }

    static const int MaxChains = 8;
    Chain chains_[MaxChains];
    unsigned characters_[MaxChains] = {};
    int used_ = 0;
    TextRepair repair_ = {0, 0, {{0, 0}, {0, 0}}, false, 0, 0};
};

bool IsSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// What ends a word for the runs of a line: white space, and the ASCII
// punctuation that separates fields. No step of a chain moves these, and no
// UTF-8 sequence holds them.
bool IsBetweenWords(char32_t c)
{
    switch (c) {
    case ';': case ',': case '|': case ':': case '=': case '"': case '(': case ')': case '[': case ']': case '<':
    case '>': case '{': case '}':
        return true;
    }
    return IsSpace(c);
}

// Latin, Greek and Cyrillic letters: what garbled words are made of.
bool IsLetter(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) ||
           (c >= 0x370 && c <= 0x52F);
}

bool HoldsLetter(const char32_t* word, unsigned count)
{
    return std::any_of(word, word + count, IsLetter);
}

// Writes characters as UTF-16; returns the code units written.
unsigned WriteUtf16(const char32_t* text, unsigned count, char16_t* out)
{
    unsigned written = 0;
    for (unsigned at = 0; at < count; ++at)
        EachUtf16Unit(text[at], [out, &written](char32_t unit) { out[written++] = static_cast<char16_t>(unit); });
    return written;
}

// Repairs one piece of a line, count code units at text, into out (which
// may be text itself, or lie before it). Returns the code units written.
class PieceRepair {
public:
    PieceRepair(const EncodingTables& tables, RepairWorkspace& workspace, Summary& summary)
        : tables_(tables), workspace_(workspace), summary_(summary)
    {
    }

    unsigned Repair(const char16_t* text, unsigned count, char16_t* out)
    {
        // The piece as characters, and where each starts in code units.
        unsigned characters = 0;
        bool high = false;
        for (unsigned at = 0; at < count; ++at) {
            char32_t c = text[at];
            if (IsHighSurrogate(c) && at + 1 < count && IsLowSurrogate(text[at + 1])) {
                c = CombinedSurrogates(c, text[at + 1]);
                ++at;
            }
            high |= c >= 0x80;
            workspace_.part[characters++] = c;
        }
        if (!high)
            return Copy(text, count, out);
        length_ = characters;
        unsigned repaired = 0;
        uint32_t striking = 0;
        if (RepairRun(0, characters, repaired, &striking))
            return WriteUtf16(workspace_.candidate, repaired, out);
        // No run of it can look garbled on its own with less garbage in all.
        if (striking < FragmentStriking)
            return Copy(text, count, out);
        return RepairRuns(characters, text, count, out);
    }

private:
    unsigned Copy(const char16_t* text, unsigned count, char16_t* out)
    {
        // out never lies after text: a forward copy is safe.
        for (unsigned at = 0; at < count; ++at)
            out[at] = text[at];
        return count;
    }

    // Repairs the characters [begin, end) of the part as one; false when
    // nothing clearly better undoes them. The repaired characters go to out.
    // The repaired characters wait in workspace.candidate.
    bool RepairRun(unsigned begin, unsigned end, unsigned& repaired, uint32_t* striking = nullptr)
    {
        PartSearch search(tables_, workspace_, workspace_.part + begin, end - begin, begin != 0 || end != length_);
        const bool found = search.Run(haveLast_ ? &last_ : nullptr);
        if (striking)
            *striking = search.striking();
        if (!found)
            return false;
        last_ = search.chain();
        haveLast_ = true;
        summary_.Add(search.chain(), search.repairedCount(), search.Confidence(), search.lost());
        repaired = KeepCleanWords(workspace_.part + begin, end - begin, search.repairedCount());
        return true;
    }

    // The words of a repaired part that read better as they were than as
    // repaired, between the repaired words around them, stay as they were:
    // a clean word beside garbled ones, which a chain turns into garbage.
    // Where the part and its repair do not split into as many words alike,
    // the repair stays whole. Returns the length of the repaired text in
    // workspace.candidate.
    unsigned KeepCleanWords(const char32_t* text, unsigned count, unsigned length)
    {
        // The words of both, each [begin, end) in text and in the repair.
        const unsigned MaxWords = 256;
        unsigned words = 0;
        unsigned wordAt[MaxWords], wordEnd[MaxWords], repairedAt[MaxWords], repairedEnd[MaxWords];
        const char32_t* repaired = workspace_.candidate;
        unsigned at = 0, to = 0;
        for (;;) {
            while (at < count && to < length && IsBetweenWords(text[at]) && text[at] == repaired[to])
                ++at, ++to;
            if (at == count && to == length)
                break;
            if (at == count || to == length || IsBetweenWords(text[at]) || IsBetweenWords(repaired[to]) || words == MaxWords)
                return length;
            wordAt[words] = at;
            repairedAt[words] = to;
            while (at < count && !IsBetweenWords(text[at]))
                ++at;
            while (to < length && !IsBetweenWords(repaired[to]))
                ++to;
            wordEnd[words] = at;
            repairedEnd[words++] = to;
        }
        // Each changed word of KeptWordLetters letters or more that reads as Cyrillic, weighed with
        // the repaired words on either side of it, as it was and as repaired.
        bool keep[MaxWords] = {};
        bool any = false;
        char32_t* window = workspace_.spare;
        for (unsigned k = 0; k < words; ++k) {
            const char32_t* word = text + wordAt[k];
            const unsigned size = wordEnd[k] - wordAt[k];
            if (SameText(word, size, repaired + repairedAt[k], repairedEnd[k] - repairedAt[k]))
                continue;
            // A word of one letter says too little on its own: the line's
            // repair decides it, unless it would make no letter of one of
            // the commonest words.
            if (size == 1) {
                keep[k] = std::u32string_view(U"авеиоуяіїє").find(word[0]) != std::u32string_view::npos &&
                          !HoldsLetter(repaired + repairedAt[k], repairedEnd[k] - repairedAt[k]);
                any |= keep[k];
                continue;
            }
            if (size < KeptWordLetters || !ReadsAsCyrillic(word, size))
                continue;
            const unsigned from = k > 0 ? repairedAt[k - 1] : repairedAt[k];
            const unsigned until = k + 1 < words ? repairedEnd[k + 1] : repairedEnd[k];
            CandidateScore before, after;
            ScoreCandidate(repaired + from, until - from, ~0u, nullptr, 0, nullptr, after);
            unsigned filled = 0;
            for (unsigned c = from; c < repairedAt[k]; ++c)
                window[filled++] = repaired[c];
            for (unsigned c = 0; c < size; ++c)
                window[filled++] = word[c];
            for (unsigned c = repairedEnd[k]; c < until; ++c)
                window[filled++] = repaired[c];
            ScoreCandidate(window, filled, ~0u, nullptr, 0, nullptr, before);
            keep[k] = before.cost + KeptWordGain < after.cost && before.striking <= after.striking;
            any |= keep[k];
        }
        if (!any)
            return length;
        // The repair with the kept words put back, written in spare, then
        // back where the repair is.
        unsigned written = 0;
        to = 0;
        for (unsigned k = 0; k < words; ++k) {
            for (; to < repairedAt[k]; ++to)
                window[written++] = repaired[to];
            const char32_t* from = keep[k] ? text + wordAt[k] : repaired + repairedAt[k];
            const unsigned size = keep[k] ? wordEnd[k] - wordAt[k] : repairedEnd[k] - repairedAt[k];
            std::copy(from, from + size, window + written);
            written += size;
            to = repairedEnd[k];
        }
        for (; to < length; ++to)
            window[written++] = repaired[to];
        std::copy(window, window + written, workspace_.candidate);
        return written;
    }

    // A line that is not garbled as a whole: the runs of words between the
    // words that read as Cyrillic, each on its own. A word without a letter
    // (a figure, a sign such as € or №) bounds a run as well: garbage of
    // letters undone in one step rarely holds one, and such a word, typed
    // beside garbled text, is often what keeps it from being undone whole.
    unsigned RepairRuns(unsigned characters, const char16_t* text, unsigned count, char16_t* out)
    {
        const char32_t* part = workspace_.part;
        bool repairedAny = false;
        unsigned written = 0, copied = 0;  // the characters before copied are written
        for (unsigned at = 0; at < characters;) {
            // The next run: from a word that does not read as Cyrillic up
            // to the next one that does.
            unsigned begin = at, end = at, high = 0;
            for (unsigned word = at; word < characters;) {
                while (word < characters && IsBetweenWords(part[word]))
                    ++word;
                unsigned wordEnd = word;
                while (wordEnd < characters && !IsBetweenWords(part[wordEnd]))
                    ++wordEnd;
                if (word == wordEnd)
                    break;
                if (ReadsAsCyrillic(part + word, wordEnd - word) || !HoldsLetter(part + word, wordEnd - word)) {
                    if (end > begin)
                        break;
                } else {
                    if (end == begin)
                        begin = word;
                    end = wordEnd;
                    high += std::any_of(part + word, part + wordEnd, [](char32_t c) { return c >= 0x80; });
                }
                at = word = wordEnd;
            }
            if (end == begin)
                break;
            unsigned repaired = 0;
            if (high != 0 && (begin != 0 || end != characters) && RepairRun(begin, end, repaired)) {
                written += WriteUtf16(part + copied, begin - copied, out + written);
                written += WriteUtf16(workspace_.candidate, repaired, out + written);
                copied = end;
                repairedAny = true;
            }
            at = end;
        }
        if (!repairedAny)
            return Copy(text, count, out);
        return written + WriteUtf16(part + copied, characters - copied, out + written);
    }

    // A word reads as Cyrillic when it holds Cyrillic letters and nothing
    // that garbled text is made of, and reads well. Not a word in capitals:
    // KOI8-R read as cp1251 makes those of small letters.
    bool ReadsAsCyrillic(const char32_t* word, unsigned count)
    {
        // The words of one small letter: prepositions and conjunctions,
        // which garbling by a page turns into another letter or a capital
        // (but с and я, which cp1251 read as KOI8-R makes of У and С).
        if (count == 1 && std::u32string_view(U"абвежзийкоуіїє").find(word[0]) != std::u32string_view::npos)
            return true;
        unsigned capitals = 0;
        for (unsigned at = 0; at < count; ++at)
            capitals += SmallLetter(word[at]) != word[at];
        if (capitals >= 2)
            return false;
        CandidateScore score;
        ScoreCandidate(word, count, ~0u, nullptr, 0, nullptr, score);
        return score.letters >= 2 && score.striking == 0 && score.cost <= PlainLetterCost * score.letters + PlainSlack;
    }

    const EncodingTables& tables_;
    RepairWorkspace& workspace_;
    Summary& summary_;
    unsigned length_ = 0;  // characters in the piece
    Chain last_ = {0, {{0, 0}, {0, 0}}};  // the chain of the last part repaired
    bool haveLast_ = false;
};

} // namespace

unsigned RepairPieceLength(const char16_t* text, unsigned count)
{
    unsigned end = 0;
    while (end < count && text[end] != '\n' && end < RepairPartLimit)
        ++end;
    if (end < count && text[end] != '\n') {
        unsigned cut = end;
        while (cut > 0 && !IsSpace(text[cut - 1]))
            --cut;
        if (cut > 0)
            end = cut;
    }
    return end;
}

TextRepair RepairText(const char16_t* text, unsigned count, char16_t* repaired, unsigned* length,
                      RepairWorkspace& workspace)
{
    const EncodingTables& tables = Tables();
    // Each part's search leaves the table of texts weighed as empty as it
    // found it.
    std::fill(std::begin(workspace.seen), std::end(workspace.seen), 0);
    Summary summary;
    PieceRepair pieces(tables, workspace, summary);
    unsigned written = 0;
    for (unsigned at = 0; at < count;) {
        const unsigned end = at + RepairPieceLength(text + at, count - at);
        written += pieces.Repair(text + at, end - at, repaired + written);
        at = end;
        if (at < count && text[at] == '\n')
            repaired[written++] = text[at++];
    }
    *length = written;
    return summary.Result();
}

void DescribeRepair(const TextRepair& repair, char* out, unsigned size)
{
    if (size == 0)
        return;
    out[0] = 0;
    if (repair.parts == 0)
        return;
    unsigned used = 0;
    for (int i = 0; i < repair.steps; ++i) {
        const int printed = std::snprintf(out + used, size - used, "%s%s read as %s", i ? ", then " : "",
                                          RepairEncodingName(repair.step[i].written),
                                          RepairEncodingName(repair.step[i].read));
        if (printed < 0 || static_cast<unsigned>(printed) >= size - used)
            return;
        used += static_cast<unsigned>(printed);
    }
}
