#include "repair_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "console_text.h"
#include "output_file.h"
#include "translation.h"
#include "unicode_conversion.h"
#include "unicode_units.h"

namespace {

// Decoded text held for the repair: the whole lines in it are repaired, and
// a line longer than this goes in the pieces the repair would cut it into,
// so that the text comes out as if it were repaired whole.
const unsigned HeldUnits = 32 * 1024;

int ErrnoOrIo()
{
    return errno != 0 ? errno : EIO;
}

// Adds up the repairs of the pieces of a line, or of the lines of an input:
// the chain named is the one that repaired the most characters, the
// confidence the least sure one.
class RepairTally {
public:
    void Add(const TextRepair& repair, unsigned long long characters)
    {
        if (repair.parts == 0)
            return;
        total_.confidence = total_.parts == 0 ? repair.confidence : std::min(total_.confidence, repair.confidence);
        total_.parts += repair.parts;
        total_.lost += repair.lost;
        total_.mixed = total_.mixed || repair.mixed;
        for (Chain& chain : chains_) {
            if (SameChain(chain.repair, repair)) {
                chain.characters += characters;
                return;
            }
        }
        chains_.push_back({repair, characters});
    }

    TextRepair Result() const
    {
        TextRepair result = total_;
        const Chain* most = nullptr;
        for (const Chain& chain : chains_)
            if (most == nullptr || chain.characters > most->characters)
                most = &chain;
        if (most != nullptr) {
            result.steps = most->repair.steps;
            result.step[0] = most->repair.step[0];
            result.step[1] = most->repair.step[1];
        }
        result.mixed = result.mixed || chains_.size() > 1;
        return result;
    }

private:
    struct Chain {
        TextRepair repair;
        unsigned long long characters;
    };

    static bool SameChain(const TextRepair& a, const TextRepair& b)
    {
        if (a.steps != b.steps)
            return false;
        for (int n = 0; n < a.steps; ++n)
            if (a.step[n].written != b.step[n].written || a.step[n].read != b.step[n].read)
                return false;
        return true;
    }

    TextRepair total_ = {};
    std::vector<Chain> chains_;
};

// Takes the decoded text as the conversion writes it, holds it until whole
// lines are there, repairs them and writes them in the destination.
class LineRepair {
public:
    LineRepair(const RepairJob& job, std::FILE* output, bool& outputStarted, const RepairReport& report)
        : job_(job), output_(output), outputStarted_(outputStarted), report_(report),
          workspace_(std::make_unique<RepairWorkspace>()), held_(HeldUnits), repaired_(HeldUnits),
          bytes_(4 * HeldUnits + 4)
    {
    }

    // The UTF-16 of the conversion: whole little-endian code units.
    bool Take(const unsigned char* bytes, size_t count)
    {
        for (size_t at = 0; at + 1 < count; at += 2) {
            held_[heldCount_++] = static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8);
            if (heldCount_ == HeldUnits && !RepairHeld(false))
                return false;
        }
        return true;
    }

    bool Finish() { return RepairHeld(true); }

    TextRepair Result() const { return input_.Result(); }

    bool rejected = false;
    TextRejection rejection = {};
    TextRejection omissions = {};  // what -t DST//IGNORE left out

private:
    // Repairs the whole lines held, and with end the rest; else, of a line
    // that fills what is held, the pieces the repair would cut it into
    // (RepairPieceLength).
    bool RepairHeld(bool end)
    {
        repairedCount_ = 0;
        unsigned done = heldCount_;
        while (done > 0 && held_[done - 1] != '\n')
            --done;
        for (unsigned at = 0; at < done;) {
            unsigned lineEnd = at;
            while (held_[lineEnd++] != '\n') {
            }
            RepairPiece(at, lineEnd, true);
            at = lineEnd;
        }
        if (end && done < heldCount_) {
            RepairPiece(done, heldCount_, true);
            done = heldCount_;
        }
        while (!end && heldCount_ - done > RepairPartLimit) {
            const unsigned cut = done + RepairPieceLength(held_.data() + done, heldCount_ - done);
            RepairPiece(done, cut, false);
            done = cut;
        }
        heldCount_ -= done;
        std::memmove(held_.data(), held_.data() + done, heldCount_ * sizeof(char16_t));
        return Write(repaired_.data(), repairedCount_, end);
    }

    void RepairPiece(unsigned from, unsigned to, bool endsLine)
    {
        unsigned length = 0;
        const TextRepair repair =
            RepairText(held_.data() + from, to - from, repaired_.data() + repairedCount_, &length, *workspace_);
        repairedCount_ += length;
        line_.Add(repair, to - from);
        input_.Add(repair, to - from);
        if (!endsLine)
            return;
        const TextRepair line = line_.Result();
        if (report_.lines && report_.stream != nullptr && line.parts > 0)
            WriteText(report_.stream,
                      report_.name + ":" + std::to_string(lineNumber_) + ": " + ExplainRepair(line) + "\n");
        line_ = RepairTally();
        ++lineNumber_;
    }

    // Writes repaired text in the destination; a surrogate pair cut in two
    // by a piece's end is held until its second half comes.
    bool Write(const char16_t* text, unsigned count, bool end)
    {
        unsigned char* out = bytes_.data();
        const bool marked = job_.writing.order == Utf16ByMark;
        if (!outputStarted_ && count > 0 && job_.destination == EncodingUtf16 && marked) {
            *out++ = 0xFF;
            *out++ = 0xFE;
        }
        outputStarted_ = outputStarted_ || count > 0;
        for (unsigned n = 0; n < count; ++n) {
            char32_t c = text[n];
            if (highHeld_ != 0) {
                const char32_t high = highHeld_;
                highHeld_ = 0;
                if (IsLowSurrogate(c))
                    c = CombinedSurrogates(high, c);
                else if (!Unwritable(out, high))
                    return false;
            } else if (IsHighSurrogate(c) && n + 1 == count && !end) {
                highHeld_ = c;
                break;
            } else if (IsHighSurrogate(c) && n + 1 < count && IsLowSurrogate(text[n + 1])) {
                c = CombinedSurrogates(c, text[++n]);
            }
            if (!Put(out, c) && !Unwritable(out, c))
                return false;
            if (c == '\n')
                ++writtenLines_;
        }
        if (end && highHeld_ != 0 && !Unwritable(out, highHeld_))
            return false;
        return Flush(out);
    }

    bool Put(unsigned char*& out, char32_t c)
    {
        if (IsSurrogate(c))
            return false;  // a lone half is no character
        switch (job_.destination) {
        case EncodingUtf8: out = PutUtf8(out, c); return true;
        case EncodingUtf16: EachUtf16Unit(c, [this, &out](char32_t unit) { PutUnit(out, unit); }); return true;
        default: {
            // As a conversion into the page writes it, -c's stand-ins too.
            const int byte = ByteOfCharacter(job_.destination, c, job_.substitute);
            if (byte < 0 && !job_.substitute)
                return false;
            *out++ = static_cast<unsigned char>(byte < 0 ? '?' : byte);
            return true;
        }
        }
    }

    void PutUnit(unsigned char*& out, char32_t unit) const
    {
        const bool big = job_.writing.order == Utf16Big;
        *out++ = static_cast<unsigned char>(big ? unit >> 8 : unit);
        *out++ = static_cast<unsigned char>(big ? unit : unit >> 8);
    }

    // A character that the destination cannot hold: left out and counted
    // with omit, which goes on; else the end of the text, after what came
    // before it.
    bool Unwritable(unsigned char* out, char32_t c)
    {
        const TextRejection found = {UnicodeUnmappable, 0, writtenLines_ + 1, static_cast<unsigned long>(c), false};
        if (job_.writing.omit) {
            const unsigned long long omitted = omissions.omitted + 1;
            if (omitted == 1)
                omissions = found;
            omissions.omitted = omitted;
            return true;
        }
        rejected = true;
        rejection = found;
        Flush(out);
        return false;
    }

    bool Flush(unsigned char* out)
    {
        const size_t size = static_cast<size_t>(out - bytes_.data());
        return size == 0 || WriteOutput(output_, bytes_.data(), size);
    }

    const RepairJob& job_;
    std::FILE* output_;
    bool& outputStarted_;
    const RepairReport& report_;
    std::unique_ptr<RepairWorkspace> workspace_;  // about 84 KiB
    std::vector<char16_t> held_;
    unsigned heldCount_ = 0;
    std::vector<char16_t> repaired_;
    unsigned repairedCount_ = 0;
    std::vector<unsigned char> bytes_;
    char32_t highHeld_ = 0;
    unsigned long long lineNumber_ = 1;  // of the line being repaired
    unsigned long long writtenLines_ = 0;
    RepairTally line_;
    RepairTally input_;
};

bool StartsWithUtf8Mark(const InputStream& input)
{
    return input.headLength >= 3 && std::memcmp(input.head, "\xEF\xBB\xBF", 3) == 0;
}

} // namespace

std::string ExplainRepair(const TextRepair& repair)
{
    if (repair.parts == 0)
        return _("nothing to repair");
    // The chain as the engine's DescribeRepair puts it, in the user's words.
    std::string text;
    for (int i = 0; i < repair.steps; ++i)
        text += Format(i ? _(", then %s read as %s") : _("%s read as %s"), RepairEncodingName(repair.step[i].written),
                       RepairEncodingName(repair.step[i].read));
    if (repair.mixed)
        text += _(" and other chains");
    text += Format(_(", confidence %d"), repair.confidence);
    if (repair.lost > 0)
        text += Format(Plural(", %lu character lost", ", %lu characters lost", repair.lost),
                       static_cast<unsigned long>(repair.lost));
    return text;
}

StreamResult RepairStream(InputStream& input, const RepairJob& job, std::FILE* output, bool& outputStarted,
                          const RepairReport& report, TextRejection& rejection)
{
    // From UTF-8 to UTF-8 the mark stays, as a conversion keeps it; the
    // decoding passes over it.
    errno = 0;
    if (job.source == EncodingUtf8 && job.destination == EncodingUtf8 && StartsWithUtf8Mark(input) &&
        std::fwrite(input.head, 1, 3, output) != 3)
        return {StreamWriteFailed, ErrnoOrIo()};

    LineRepair repair(job, output, outputStarted, report);
    UnicodeConverter decoder(job.source, EncodingUtf16, false, job.substitute);
    bool decodedStarted = true;  // the UTF-16 the text is decoded into needs no mark
    const ConvertedBytes take = [&repair](const unsigned char* bytes, size_t count) {
        return repair.Take(bytes, count);
    };
    const UnicodeWriting decoding = {Utf16ByMark, job.writing.omit};
    StreamResult result = ConvertUnicodeStream(input, take, decoder, decoding, decodedStarted, rejection);
    // What came before bad input is written, as a conversion writes it.
    if (result.outcome == StreamTextRejected)
        repair.Finish();
    else if (result.outcome == StreamConverted && !repair.Finish())
        result = {StreamWriteFailed, ErrnoOrIo()};
    if (repair.rejected) {
        rejection = repair.rejection;
        return {StreamTextRejected, 0};
    }
    // What was left out: the input's first, with its offset, else the text's.
    if (repair.omissions.omitted > 0) {
        const unsigned long long omitted = rejection.omitted + repair.omissions.omitted;
        if (rejection.omitted == 0)
            rejection = repair.omissions;
        rejection.omitted = omitted;
    }
    if (result.outcome == StreamConverted && report.stream != nullptr)
        WriteText(report.stream, report.name + ": " + ExplainRepair(repair.Result()) + "\n");
    return result;
}
