// Every vector path against the scalar reference, byte for byte: the same
// output, counts and carried byte, block by block, at every alignment, and
// nothing written past what a call counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "engine_test_support.h"
#include "unicode_conversion.h"

namespace {

const int VectorPaths[] = {PathSsse3, PathAvx2, PathAvx512};

// Texts drawn from pools of bytes: letters alone, letters with the
// typographic symbols of cp1251 (the vector look-up's slow case), any byte,
// and CR runs dense enough to keep the StripCr kernel from writing ahead.
struct TextKind {
    const char* name;
    std::vector<int> pool;
} const TextKinds[] = {
    {"KOI8-R letters", {0xC1, 0xD2, 0xE5, 0xF7, 0xFF, 0xC0, 0xDA, 0xEE, 0x20, 0x20, 0x0A}},
    {"cp1251 typography", {0xE0, 0xF0, 0xFF, 0xC0, 0xAB, 0xBB, 0x96, 0x97, 0xB9, 0xB8, 0x20, 0x0D, 0x0A}},
    {"any byte", {-1, -1, -1, -1, -1, 0x0D, 0x0A, 0x00}},
    {"CR runs", {0x0D, 0x0D, 0x0D, 0x0D, 0x0A, 0x61, 0x00}},
};

Bytes RandomText(std::mt19937& random, const TextKind& kind, size_t length)
{
    Bytes text(length);
    for (auto& b : text) {
        const int pick = kind.pool[random() % kind.pool.size()];
        b = static_cast<unsigned char>(pick < 0 ? random() : pick);
    }
    return text;
}

struct ConversionCase {
    int source, destination;
    bool newlines;
} const Conversions[] = {
    {CodePageKoi8r, CodePageCp1251, false},  // Keep
    {CodePageKoi8r, CodePageMac, true},      // AddCr
    {CodePageCp1251, CodePageKoi8r, true},   // StripCr
    {CodePageCp866, CodePageIso88595, false},
};

// What one stream converted in blocks gives, each block's input and output
// placed offset bytes past an alignment the allocator gives.
struct Outcome {
    Bytes bytes;
    std::vector<int> counts;
    Bytes carries;
    bool wrotePast = false;

    bool operator==(const Outcome& other) const
    {
        return bytes == other.bytes && counts == other.counts && carries == other.carries &&
               wrotePast == other.wrotePast;
    }
};

Outcome ConvertInBlocks(PageConverter converter, const Bytes& text, const std::vector<size_t>& cuts, size_t offset,
                        bool stream)
{
    Outcome outcome;
    size_t start = 0;
    for (size_t n = 0; n <= cuts.size(); ++n) {
        const size_t end = n < cuts.size() ? cuts[n] : text.size();
        Bytes input(offset + end - start);
        std::copy(text.begin() + start, text.begin() + end, input.begin() + offset);
        Bytes output(offset + 2 * (end - start) + 64);
        for (size_t k = 0; k < output.size(); ++k)
            output[k] = static_cast<unsigned char>(k * 7 + 3);
        const unsigned count = static_cast<unsigned>(end - start);
        unsigned char* const out = output.data() + offset;
        const int written = stream ? converter.Convert(out, input.data() + offset, count)
                                   : converter.ConvertText(out, input.data() + offset, count);
        for (size_t k = offset + written; k < output.size(); ++k)
            outcome.wrotePast |= output[k] != static_cast<unsigned char>(k * 7 + 3);
        outcome.bytes.insert(outcome.bytes.end(), out, out + written);
        outcome.counts.push_back(written);
        outcome.carries.push_back(converter.Carried());
        start = end;
    }
    unsigned char tail[2] = {};
    outcome.bytes.insert(outcome.bytes.end(), tail, tail + converter.Finish(tail));
    return outcome;
}

// A new stream of converter's conversion on path.
Outcome OnPath(int path, PageConverter converter, const Bytes& text, const std::vector<size_t>& cuts, size_t offset,
               bool stream)
{
    EXPECT_TRUE(converter.UsePath(path));
    return ConvertInBlocks(converter, text, cuts, offset, stream);
}

TEST(ConversionPaths, EveryPathConvertsAsTheScalarOneDoes)
{
    std::mt19937 random(2024);
    for (int path : VectorPaths) {
        if (!CanRunConversionPath(path)) {
            std::printf("path %d: this processor cannot run it, not compared\n", path);
            continue;
        }
        for (const ConversionCase& setup : Conversions) {
            const PageConverter converter = Converter(setup.source, setup.destination, setup.newlines);
            for (const TextKind& kind : TextKinds) {
                for (size_t offset = 0; offset <= 32; ++offset) {
                    const Bytes text = RandomText(random, kind, random() % 400);
                    std::vector<size_t> cuts;  // blocks of 0 to 99 bytes
                    for (size_t at = random() % 100; at < text.size(); at += random() % 100)
                        cuts.push_back(at);
                    for (bool stream : {false, true}) {
                        for (const auto& split : {std::vector<size_t>(), cuts}) {
                            const Outcome expected = OnPath(PathScalar, converter, text, split, offset, stream);
                            ASSERT_FALSE(expected.wrotePast);
                            ASSERT_TRUE(OnPath(path, converter, text, split, offset, stream) == expected)
                                << "path " << path << ", mode " << converter.Newlines() << ", " << kind.name
                                << ", offset " << offset << ", " << split.size() + 1 << " blocks, "
                                << (stream ? "stream" : "text");
                        }
                    }
                }
            }
        }
    }
}

// Long texts whose make-up changes, so that the vector look-up's shortcut is
// taken, given up for a while and taken again, and the moves of line ends
// fit short lines and then long ones, across groups of blocks and calls:
// stretches of letters with a rare ё (cp1251 0xB8, KOI8-R 0xA3) in short
// and long lines, of typography and of CR runs, line ends in both forms
// throughout.
TEST(ConversionPaths, LongTextsWhoseMakeUpChanges)
{
    std::mt19937 random(26);
    const TextKind letters = {"letters", {0xC1, 0xD2, 0xE5, 0xF7, 0xFF, 0xC0, 0xDA, 0xEE, 0x20, 0x20, 0x0D, 0x0A}};
    Bytes text;
    for (int stretch = 0; stretch < 9; ++stretch) {
        if (stretch == 4) {  // CR runs, without the NULs that would end the text form
            Bytes runs = RandomText(random, TextKinds[3], 5000);
            std::replace(runs.begin(), runs.end(), static_cast<unsigned char>(0), static_cast<unsigned char>(0x61));
            text.insert(text.end(), runs.begin(), runs.end());
        }
        Bytes part = RandomText(random, stretch % 3 == 1 ? TextKinds[1] : letters, stretch % 3 == 1 ? 90000 : 30000);
        for (size_t at = random() % 3000; at < part.size() && stretch % 3 != 1; at += random() % 3000)
            part[at] = at % 2 ? 0xB8 : 0xA3;
        if (stretch % 3 == 2) {  // long lines, ended by CR LF, LF or CR
            for (size_t at = 0; at < part.size(); ++at)
                part[at] = part[at] == 0x0D || part[at] == 0x0A ? 0xE0 : part[at];
            for (size_t at = 40 + random() % 160; at + 1 < part.size(); at += 40 + random() % 160) {
                part[at] = at % 3 == 0 ? 0x0A : 0x0D;
                part[at + 1] = at % 3 == 1 ? 0x0A : part[at + 1];
            }
        }
        text.insert(text.end(), part.begin(), part.end());
    }
    // A line end across every edge that a power of two from 512 on may
    // give the kernels' groups of blocks, in a call that starts the text.
    for (size_t at = 512; at < text.size(); at += 512) {
        text[at - 1] = 0x0D;
        text[at] = at / 512 % 4 == 2 ? 0x0D : 0x0A;
    }
    std::vector<size_t> cuts;  // blocks of up to 96 KiB
    for (size_t at = random() % 98304; at < text.size(); at += 1 + random() % 98304)
        cuts.push_back(at);
    for (int path : VectorPaths) {
        if (!CanRunConversionPath(path))
            continue;
        for (const ConversionCase& setup : Conversions) {
            const PageConverter converter = PageConverter::ForOption(setup.source, setup.destination, setup.newlines);
            for (bool stream : {false, true})
                for (const auto& split : {std::vector<size_t>(), cuts})
                    ASSERT_TRUE(OnPath(path, converter, text, split, 0, stream) ==
                                OnPath(PathScalar, converter, text, split, 0, stream))
                        << "path " << path << ", mode " << converter.Newlines() << ", " << split.size() + 1
                        << " blocks, " << (stream ? "stream" : "text");
        }
    }
}

TEST(ConversionPaths, EveryPathMapsEveryByteOfEveryTable)
{
    Bytes all(256);
    for (int byte = 0; byte < 256; ++byte)
        all[byte] = static_cast<unsigned char>(byte);
    for (int path : VectorPaths) {
        if (!CanRunConversionPath(path))
            continue;
        for (int source = -1; source <= CodePageCount; ++source) {
            for (int destination = 0; destination < CodePageCount; ++destination) {
                const PageConverter converter = Converter(source, destination);
                ASSERT_TRUE(OnPath(path, converter, all, {}, 0, true) ==
                            OnPath(PathScalar, converter, all, {}, 0, true))
                    << "path " << path << ", " << source << " -> " << destination;
            }
        }
    }
}

Bytes Repeated(size_t times, int byte)
{
    return Bytes(times, static_cast<unsigned char>(byte));
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ConversionPaths, CrsAtTheEdgesOfBlocks)
{
    const PageConverter converter = Converter(CodePageCp1251, CodePageKoi8r, true);
    for (int path : VectorPaths) {
        if (!CanRunConversionPath(path))
            continue;
        for (size_t width : {16, 32}) {
            const Bytes texts[] = {
                // Two blocks with one CR more than a block holds, all of them
                // vanishing: the output is a byte shorter than one block.
                MakeBytes({0x61}) + Repeated(width - 1, 0x0D) + MakeBytes({0x0A}) + Repeated(width - 3, 0x62) +
                    Repeated(2, 0x0D),
                // A block of CRs alone, followed by room enough.
                Repeated(width, 0x0D) + Repeated(2 * width, 0x63),
                // A line end late in a block, before a block whose three
                // vanishing CRs leave one byte too few to cover moving it.
                Repeated(width - 3, 0x64) + MakeBytes({0x0D, 0x0A, 0x65, 0x0D, 0x0A, 0x0D, 0x0A, 0x0D, 0x0A}) +
                    Repeated(width - 6, 0x66),
                // Two line ends moved in a block that a CR ends, before a
                // block with room for the moves but for no byte more.
                Repeated(width - 9, 0x69) + MakeBytes({0x0D, 0x0A, 0x6A, 0x6A, 0x6A, 0x0D, 0x0A, 0x6B, 0x0D, 0x0A}) +
                    Repeated(width - 8, 0x6C) + MakeBytes({0x0D, 0x0D, 0x0D, 0x0A, 0x6D, 0x6D, 0x6D}),
                // A CR ending a block, and the next starting with CR LF: the
                // three make one line end.
                Repeated(width - 1, 0x67) + MakeBytes({0x0D, 0x0D, 0x0A}) + Repeated(2 * width, 0x68),
            };
            for (const Bytes& text : texts)
                for (bool stream : {false, true})
                    ASSERT_TRUE(OnPath(path, converter, text, {}, 0, stream) ==
                                OnPath(PathScalar, converter, text, {}, 0, stream))
                        << "path " << path << ", width " << width;
        }
    }
}

#if defined(_WIN32) && defined(__i386__)
using EntryPoint = int (*)(unsigned char*, const unsigned char*, unsigned, int);

// What the entry points below convert with: each call a new stream of it,
// made on the stack that the call was given.
const PageConverter* Prototype;

int ConvertTextOnStack(unsigned char* out, const unsigned char* in, unsigned count, int)
{
    PageConverter converter = *Prototype;
    return converter.ConvertText(out, in, count);
}

int ConvertOnStack(unsigned char* out, const unsigned char* in, unsigned count, int)
{
    PageConverter converter = *Prototype;
    return converter.Convert(out, in, count);
}

// Calls entry(out, in, count, 1) with the stack pointer at 32-byte alignment
// less shift (and less the arguments and return address): 32-bit Windows
// promises four bytes, and a kernel that kept a vector there at a 16- or
// 32-byte aligned place would fault on some of these.
extern "C" int CallWithStackShift(EntryPoint entry, unsigned shift, unsigned char* out, const unsigned char* in,
                                  unsigned count);
asm(".globl _CallWithStackShift\n"
    "_CallWithStackShift:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    andl $-32, %esp\n"
    "    subl 12(%ebp), %esp\n"
    "    pushl $1\n"
    "    pushl 24(%ebp)\n"
    "    pushl 20(%ebp)\n"
    "    pushl 16(%ebp)\n"
    "    call *8(%ebp)\n"
    "    leave\n"
    "    ret\n");

TEST(ConversionPaths, KernelsRunOnAStackAlignedToFourBytesOnly)
{
    std::mt19937 random(32);
    for (int path : VectorPaths) {
        if (!CanRunConversionPath(path))
            continue;
        for (const ConversionCase& setup : Conversions) {
            PageConverter prototype = Converter(setup.source, setup.destination, setup.newlines);
            prototype.UsePath(path);
            Prototype = &prototype;
            for (const TextKind& kind : TextKinds) {
                const Bytes text = RandomText(random, kind, 300);
                for (EntryPoint entry : {ConvertTextOnStack, ConvertOnStack}) {
                    Bytes expected(2 * text.size()), output(2 * text.size());
                    expected.resize(entry(expected.data(), text.data(), 300, 1));
                    for (unsigned shift = 0; shift < 32; shift += 4) {
                        output.resize(2 * text.size());
                        output.resize(CallWithStackShift(entry, shift, output.data(), text.data(), 300));
                        ASSERT_EQ(output, expected) << "path " << path << ", " << kind.name << ", shift " << shift;
                    }
                }
            }
        }
    }
}
#endif

// Where TARVO_CONVERSION_PATH names a path, a process starts on it: tests/
// CMakeLists.txt runs this test once more, alone, with the variable set.
TEST(ConversionPaths, AProcessStartsOnThePathTheEnvironmentNames)
{
    const char* asked = std::getenv("TARVO_CONVERSION_PATH");
    if (!asked) {
        EXPECT_EQ(StartingConversionPath(), FastestConversionPath());
        EXPECT_EQ(PageConverter().Path(), FastestConversionPath());
        return;
    }
    std::string name;
    EXPECT_EQ(PageConverter().Path(), StartingConversionPath());
    for (const char* c = ConversionPathName(StartingConversionPath()); *c; ++c)
        if (*c != '-')
            name += static_cast<char>(std::tolower(*c));
    EXPECT_EQ(name, asked);
}

TEST(ConversionPaths, OnlyPathsThisProcessorRunsCanBeUsed)
{
    PageConverter converter;
    EXPECT_EQ(converter.Path(), StartingConversionPath());
    EXPECT_FALSE(converter.UsePath(-1));
    EXPECT_FALSE(converter.UsePath(ConversionPathCount));
    EXPECT_EQ(converter.Path(), StartingConversionPath());
    EXPECT_TRUE(converter.UsePath(PathScalar));
    EXPECT_EQ(converter.Path(), PathScalar);
    EXPECT_TRUE(CanRunConversionPath(FastestConversionPath()));
    // As libgcc reads the processor, which the engine need not ask itself.
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    EXPECT_EQ(CanRunConversionPath(PathSsse3), __builtin_cpu_supports("ssse3") != 0);
    EXPECT_EQ(CanRunConversionPath(PathAvx2), __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                                                  __builtin_cpu_supports("popcnt"));
#endif
#if defined(__x86_64__)
    EXPECT_EQ(CanRunConversionPath(PathAvx512),
              __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                  __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
                  __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt"));
#endif
}

} // namespace

namespace {

// Code page text into UTF-8 in one call on path.
std::pair<Bytes, UnicodeChunk> IntoUtf8(int path, int page, const Bytes& text)
{
    UnicodeConverter converter(page, EncodingUtf8, false, true);
    EXPECT_TRUE(converter.UsePath(path));
    Bytes out(UnicodeConverter::OutputSize(static_cast<unsigned>(text.size())));
    const UnicodeChunk chunk = converter.Convert(out.data(), text.data(), static_cast<unsigned>(text.size()), true);
    out.resize(chunk.written);
    return {out, chunk};
}

TEST(ConversionPaths, EveryPathWritesUtf8AsTheScalarOneDoes)
{
    std::mt19937 random(7);
    for (int page = 0; page < CodePageCount; ++page) {
        // Mostly letters, each two bytes in UTF-8, ASCII and line ends
        // among them, and now and then a byte of three bytes or none.
        std::vector<int> pool;
        for (int byte = 0x20; byte < 0x80; byte += 7)
            pool.insert(pool.end(), 200, byte);
        for (int byte = 0x80; byte < 0x100; ++byte)
            for (int k = 0; k < (IndexTable[page][byte] != 0 && IndexTable[page][byte] <= 66 ? 200 : 1); ++k)
                pool.push_back(byte);
        pool.push_back(0x0A);
        Bytes text(5000);
        for (unsigned char& b : text)
            b = static_cast<unsigned char>(pool[random() % pool.size()]);
        for (int path : {PathAvx512}) {
            if (!CanRunConversionPath(path))
                continue;
            const auto expected = IntoUtf8(PathScalar, page, text), found = IntoUtf8(path, page, text);
            EXPECT_TRUE(found.first == expected.first) << "page " << page;
            EXPECT_EQ(found.second.consumed, expected.second.consumed);
            EXPECT_EQ(found.second.lineEnds, expected.second.lineEnds);
            EXPECT_EQ(found.second.stop, expected.second.stop);
        }
    }
}

} // namespace
