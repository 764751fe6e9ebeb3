// The engine's speed on 1 MiB of Cyrillic text, per line-end mode, beside
// the C library's iconv() on the same bytes and a plain memcpy.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <cstring>
#include <random>
#include <vector>

#include "stream_converter.h"

namespace {

const size_t TextSize = 1 << 20;

// Words of KOI8-R or cp1251 letters, lines of about 60 characters.
std::vector<unsigned char> CyrillicText(int page, bool crlf)
{
    std::mt19937 random(42);
    std::vector<unsigned char> text;
    text.reserve(TextSize);
    size_t column = 0;
    while (text.size() < TextSize) {
        const int length = 1 + random() % 10;
        for (int n = 0; n < length; ++n) {
            const int letter = random() % 64;  // index 1..64
            text.push_back(page == CodePageKoi8r ? ByteTable[CodePageKoi8r][letter]
                                                 : static_cast<unsigned char>(0xC0 + letter));
        }
        column += length + 1;
        if (column > 60) {
            if (crlf)
                text.push_back(0x0D);
            text.push_back(0x0A);
            column = 0;
        } else {
            text.push_back(' ');
        }
    }
    text.resize(TextSize);
    return text;
}

struct ModeSetup {
    int source, destination, option;
} const Setups[] = {
    {CodePageKoi8r, CodePageCp1251, 0},  // Keep
    {CodePageKoi8r, CodePageCp1251, 1},  // AddCr
    {CodePageCp1251, CodePageKoi8r, 1},  // StripCr
};
const char* const ModeNames[] = {"Keep", "AddCr", "StripCr"};

template <int (*Entry)(unsigned char*, const unsigned char*, unsigned, int)>
void Engine(benchmark::State& state)
{
    BuildByteTables();
    const ModeSetup& setup = Setups[state.range(0)];
    SelectConversionOf(0, setup.source, setup.destination, setup.option);
    const std::vector<unsigned char> text = CyrillicText(setup.source, setup.option && setup.destination == CodePageKoi8r);
    std::vector<unsigned char> output(2 * TextSize + 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Entry(output.data(), text.data(), TextSize, 1));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * TextSize);
    state.SetLabel(ModeNames[state.range(0)]);
}

// The file job's way: 512-byte blocks into one small buffer.
void EngineFileBlocks(benchmark::State& state)
{
    BuildByteTables();
    SelectConversionOf(0, CodePageKoi8r, CodePageCp1251, 0);
    const std::vector<unsigned char> text = CyrillicText(CodePageKoi8r, false);
    unsigned char output[1025];
    for (auto _ : state) {
        for (size_t at = 0; at < TextSize; at += 512) {
            benchmark::DoNotOptimize(ConvertStreamChunk(output, text.data() + at, 512, at == 0));
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(state.iterations() * TextSize);
}

void Iconv(benchmark::State& state)
{
    BuildByteTables();
    const std::vector<unsigned char> text = CyrillicText(CodePageKoi8r, false);
    std::vector<char> input(text.begin(), text.end());
    std::vector<char> output(2 * TextSize);
    iconv_t cd = iconv_open("CP1251", "KOI8-R");
    for (auto _ : state) {
        char* in = input.data();
        char* out = output.data();
        size_t inLeft = TextSize, outLeft = output.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(iconv(cd, &in, &inLeft, &out, &outLeft));
        benchmark::ClobberMemory();
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * TextSize);
}

void Memcpy(benchmark::State& state)
{
    std::vector<unsigned char> input(TextSize, 0xC1), output(TextSize);
    for (auto _ : state) {
        std::memcpy(output.data(), input.data(), TextSize);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * TextSize);
}

} // namespace

BENCHMARK(Engine<ConvertChunk>)->Name("ConvertChunk")->DenseRange(0, 2);
BENCHMARK(Engine<ConvertStreamChunk>)->Name("ConvertStreamChunk")->DenseRange(0, 2);
BENCHMARK(EngineFileBlocks)->Name("ConvertStreamChunk_512ByteBlocks");
BENCHMARK(Iconv)->Name("glibc_iconv_KOI8R_to_CP1251");
BENCHMARK(Memcpy)->Name("memcpy");

BENCHMARK_MAIN();
