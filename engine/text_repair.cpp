#include "text_repair.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "repair_encodings.h"
#include "repair_scoring.h"

using namespace repair;

namespace {

// A repair must save at least this much (in eighths of a nat) over the text
// as it is, and hold this many Cyrillic letters: below that, garbage and
// text are too close to tell apart safely.
const uint32_t MinimumGain = 48;
const uint32_t MinimumLetters = 5;
// And it must read as text does: Cyrillic text in any of the six languages
// costs from 20 to 30 a letter, garbage from 45 up; what lies between words
// (spaces, punctuation, digits) costs up to 16 a character.
const uint32_t CleanLetterCost = 30;
const uint32_t CleanNonLetterCost = 16;
const uint32_t CleanSlack = 24;
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
// How rare each encoding is in a wrong step, as a cost each time a chain
// names it: where the text speaks for two chains almost alike (cp1251 and
// Macintosh Cyrillic differ in capitals only), the commoner wins.
const uint32_t EncodingCost[RepairEncodingCount] = {0, 0, 0, 0, 4, 4, 8, 24, 8, 8, 8};

// A second step must earn its place among the thousands of two-step
// chains, some of which turn any short text into another that the
// statistics like a little better; the shorter the text, the likelier, so
// a repair in two steps must hold this many letters too.
const uint32_t SecondStepCost = 56;
const uint32_t TwoStepMinimumLetters = 8;
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
        if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return Failed;
        out[made++] = value;
    }
    return made;
}

// The single-byte encodings that can hold every character of a text.
uint16_t HoldersOfText(const EncodingTables& tables, const char32_t* text, unsigned count)
{
    uint16_t holders = SingleByteEncodings;
    for (unsigned at = 0; at < count && holders != 0; ++at) {
        if (text[at] >= 0x80 && text[at] != 0xFFFD)
            holders &= HoldersOf(tables, text[at]);
    }
    return holders;
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
struct Changes {
    unsigned changed = 0;
    unsigned ordinary = 0;  // of them, characters that text holds
    bool beyondCase = false;

    void Add(char32_t from, char32_t to, unsigned count, bool striking)
    {
        changed += count;
        ordinary += striking ? 0 : count;
        beyondCase |= SmallLetter(from) != SmallLetter(to);
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

// The distinct characters from 0x80 up of a text, with their counts: what
// a single-byte step does to the whole text, it does to these.
class Histogram {
public:
    void Build(const char32_t* text, unsigned count)
    {
        used_ = 0;
        full_ = false;
        std::fill(std::begin(slot_), std::end(slot_), static_cast<uint16_t>(0));
        for (unsigned at = 0; at < count; ++at) {
            const char32_t c = text[at];
            if (c < 0x80 || c == 0xFFFD)
                continue;
            unsigned probe = (c * 2654435761u) >> 23;
            for (;; ++probe) {
                uint16_t& slot = slot_[probe % SlotCount];
                if (slot == 0) {
                    if (used_ == Size) {
                        full_ = true;
                        return;
                    }
                    character_[used_] = c;
                    count_[used_] = 0;
                    striking_[used_] = IsStriking(c);
                    slot = static_cast<uint16_t>(++used_);
                }
                if (character_[slot - 1] == c) {
                    ++count_[slot - 1];
                    break;
                }
            }
        }
    }

    // Whether undoing "written as written, read as read" (both single-byte)
    // can give a candidate that changes enough of the text and costs no
    // more than limit: its characters' least costs must not add up past it.
    // Where the text holds garbage, the candidate may take it away.
    bool Promising(const EncodingTables& tables, int written, int read, uint32_t limit, bool garbage) const
    {
        if (full_)
            return true;
        uint32_t least = 0;
        Changes changes;
        for (unsigned i = 0; i < used_; ++i) {
            const char32_t c = character_[i];
            const char32_t undone = tables.character[written][ByteOf(tables, read, c) - 0x80];
            least += count_[i] * LeastCostOf(undone);
            if (undone != c)
                changes.Add(c, undone, count_[i], striking_[i]);
        }
        return changes.Enough(garbage) && least <= limit;
    }

private:
    static const unsigned Size = 256;
    static const unsigned SlotCount = 512;
    char32_t character_[Size];
    uint32_t count_[Size];
    bool striking_[Size];
    uint16_t slot_[SlotCount];
    unsigned used_ = 0;
    bool full_ = false;
};

// The search for the best chain for one part.
class PartSearch {
public:
    // A fragment is a run of words in a line that reads as Cyrillic
    // elsewhere: it must look garbled on its own, and its repair must be
    // surer, since the words around it speak for the line being clean.
    PartSearch(const EncodingTables& tables, RepairWorkspace& workspace, const char32_t* text, unsigned count,
               bool fragment)
        : tables_(tables), workspace_(workspace), text_(text), count_(count), fragment_(fragment)
    {
        ScoreCandidate(text, count, ~0u, nullptr, 0, workspace.pace, original_);
        histogram_.Build(text, count);
    }

    // Whether a chain undoes the part into clearly better text; then the
    // repaired part is in workspace.candidate.
    bool Run()
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
        best_.cost = original_.cost - Gain() + 1;
        SearchOneStep();
        // One step may leave garbage of another kind that reads a little
        // better: KOI8-R read as cp1251 twice, undone once, is still
        // letters in the wrong places.
        if ((best_.chain.steps == 0 && original_.cost > CleanCost(original_.letters, original_.characters)) ||
            (best_.chain.steps != 0 && best_.score > CleanCost(best_.letters, best_.characters, OneStepLetterCost)))
            SearchTwoSteps();
        if (best_.chain.steps == 0)
            return false;
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
        if (second_ != ~0u)
            sum += std::exp(-(static_cast<double>(second_) - best_.cost) * scale);
        return static_cast<int>(100.0 / sum);
    }

private:
    struct Best {
        Chain chain = {0, {{0, 0}, {0, 0}}};
        uint32_t cost = 0;   // with the chain's penalty
        uint32_t score = 0;  // the text's own
        uint32_t letters = 0;
        uint32_t characters = 0;
        unsigned lost = 0;
    };

    unsigned Undo(const Chain& chain, char32_t* out, unsigned& lost)
    {
        if (chain.steps == 1)
            return UndoStep(tables_, text_, count_, chain.step[0].written, chain.step[0].read, out, lost);
        const unsigned middle = UndoStep(tables_, text_, count_, chain.step[1].written, chain.step[1].read,
                                         workspace_.middle, lost);
        if (middle == Failed)
            return Failed;
        return UndoStep(tables_, workspace_.middle, middle, chain.step[0].written, chain.step[0].read, out, lost);
    }

    uint32_t Gain() const { return fragment_ ? 2 * MinimumGain : MinimumGain; }

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
        return std::min({best_.cost + ConfidenceReach, original_.cost - Gain(), CleanCost(count, count) + LostAllowance * count / 4});
    }

    void Consider(const Chain& chain, const char32_t* candidate, unsigned count, unsigned lost)
    {
        const bool garbage = original_.striking != 0;
        Changes changes;
        if (count == count_) {
            changes = ChangesIn(text_, candidate, count);
            if (!changes.Enough(garbage))
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
        if (!ScoreCandidate(candidate, count, limit - penalty, pace, PaceSlack, nullptr, score))
            return;
        if (score.letters < (fragment_ ? FragmentLetters : MinimumLetters) || score.letters < 4 * lost ||
            score.cost > CleanCost(score.letters, score.characters) + LostAllowance * lost)
            return;
        // A repair takes garbage away: it leaves fewer characters that text
        // hardly holds than it found, or none.
        if (score.striking >= original_.striking && score.striking != 0)
            return;
        if (count == count_ && !changes.Enough(false) && score.striking >= original_.striking)
            return;
        if (score.capitals > original_.capitals &&
            original_.cost <= CapitalsGarbageLetterCost * original_.letters)
            return;
        if (chain.steps == 2 && score.letters < TwoStepMinimumLetters)
            return;
        // Two chains that give the same text score it the same: the
        // runner-up is the best other text.
        const uint32_t cost = score.cost + penalty;
        const bool sameText = best_.chain.steps != 0 && score.cost == best_.score;
        if (cost < best_.cost) {
            if (best_.chain.steps != 0 && !sameText)
                second_ = std::min(second_, best_.cost);
            best_.chain = chain;
            best_.cost = cost;
            best_.score = score.cost;
            best_.letters = score.letters;
            best_.characters = score.characters;
            best_.lost = lost;
        } else if (!sameText) {
            second_ = std::min(second_, cost);
        }
    }

    void SearchOneStep()
    {
        const uint16_t holders = HoldersOfText(tables_, text_, count_);
        for (int read = 1; read < RepairEncodingCount; ++read) {
            if (!(holders >> read & 1))
                continue;
            for (int written = 0; written < RepairEncodingCount; ++written) {
                if (written == read)
                    continue;
                const Chain chain = {1, {{written, read}, {0, 0}}};
                if (written != RepairUtf8 &&
                    !histogram_.Promising(tables_, written, read, Limit(count_) - std::min(Limit(count_), Penalty(chain, 0)),
                                          original_.striking != 0))
                    continue;
                unsigned lost = 0;
                const unsigned made =
                    UndoStep(tables_, text_, count_, written, read, workspace_.candidate, lost);
                if (made == Failed || SameText(text_, count_, workspace_.candidate, made))
                    continue;
                Consider(chain, workspace_.candidate, made, lost);
            }
        }
    }

    void SearchTwoSteps()
    {
        const uint16_t holders = HoldersOfText(tables_, text_, count_);
        for (int lastRead = 1; lastRead < RepairEncodingCount; ++lastRead) {
            if (!(holders >> lastRead & 1))
                continue;
            for (int lastWritten = 0; lastWritten < RepairEncodingCount; ++lastWritten) {
                if (lastWritten == lastRead)
                    continue;
                unsigned middleLost = 0;
                const unsigned middle =
                    UndoStep(tables_, text_, count_, lastWritten, lastRead, workspace_.middle, middleLost);
                if (middle == Failed || SameText(text_, count_, workspace_.middle, middle))
                    continue;
                const uint16_t middleHolders = HoldersOfText(tables_, workspace_.middle, middle);
                middleHistogram_.Build(workspace_.middle, middle);
                for (int read = 1; read < RepairEncodingCount; ++read) {
                    // Read as one page and written back in the same one is
                    // the one step from the first page to the last.
                    if (!(middleHolders >> read & 1) || read == lastWritten)
                        continue;
                    for (int written = 0; written < RepairEncodingCount; ++written) {
                        if (written == read)
                            continue;
                        const Chain chain = {2, {{written, read}, {lastWritten, lastRead}}};
                        const uint32_t limit = Limit(middle) - std::min(Limit(middle), Penalty(chain, middleLost));
                        if (written != RepairUtf8 &&
                            !middleHistogram_.Promising(tables_, written, read, limit, original_.striking != 0))
                            continue;
                        unsigned lost = middleLost;
                        const unsigned made = UndoStep(tables_, workspace_.middle, middle, written, read,
                                                       workspace_.candidate, lost);
                        if (made == Failed || SameText(workspace_.middle, middle, workspace_.candidate, made))
                            continue;
                        Consider(chain, workspace_.candidate, made, lost);
                    }
                }
            }
        }
    }

    const EncodingTables& tables_;
    RepairWorkspace& workspace_;
    const char32_t* text_;
    unsigned count_;
    bool fragment_;
    CandidateScore original_;
    Histogram histogram_, middleHistogram_;
    Best best_;
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

// Writes characters as UTF-16; returns the code units written.
unsigned WriteUtf16(const char32_t* text, unsigned count, char16_t* out)
{
    unsigned written = 0;
    for (unsigned at = 0; at < count; ++at) {
        const char32_t c = text[at];
        if (c >= 0x10000) {
            out[written++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out[written++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out[written++] = static_cast<char16_t>(c);
        }
    }
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
            if (c >= 0xD800 && c <= 0xDBFF && at + 1 < count && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[at + 1] - 0xDC00);
                ++at;
            }
            high |= c >= 0x80;
            workspace_.part[characters++] = c;
        }
        if (!high)
            return Copy(text, count, out);
        length_ = characters;
        unsigned repaired = 0;
        if (RepairRun(0, characters, repaired))
            return WriteUtf16(workspace_.candidate, repaired, out);
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
    bool RepairRun(unsigned begin, unsigned end, unsigned& repaired)
    {
        PartSearch search(tables_, workspace_, workspace_.part + begin, end - begin, begin != 0 || end != length_);
        if (!search.Run())
            return false;
        summary_.Add(search.chain(), search.repairedCount(), search.Confidence(), search.lost());
        repaired = search.repairedCount();
        return true;
    }

    // A line that is not garbled as a whole: the runs of words between the
    // words that read as Cyrillic, each on its own.
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
                if (ReadsAsCyrillic(part + word, wordEnd - word)) {
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
};

} // namespace

TextRepair RepairText(const char16_t* text, unsigned count, char16_t* repaired, unsigned* length,
                      RepairWorkspace& workspace)
{
    const EncodingTables& tables = Tables();
    Summary summary;
    PieceRepair pieces(tables, workspace, summary);
    unsigned written = 0;
    for (unsigned at = 0; at < count;) {
        // A line, or the longest piece of it that fits, cut after a space.
        unsigned end = at;
        while (end < count && text[end] != '\n' && end - at < RepairPartLimit)
            ++end;
        if (end < count && text[end] != '\n') {
            unsigned cut = end;
            while (cut > at && !IsSpace(text[cut - 1]))
                --cut;
            if (cut > at)
                end = cut;
        }
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
