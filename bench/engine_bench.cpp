// The engine's speed on 1 MiB of Cyrillic text, per case and path. Each
// iteration times the engine and then memcpy of the same buffer, so that the
// two are compared side by side under the same conditions: best_GBps is the
// engine's fastest iteration, memcpy_share its speed as a percentage of
// memcpy's fastest (the fastest iterations are the ones no other process
// interrupted). The C library's iconv() on the same text is the anchor.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine_cases.h"

namespace {

void Engine(benchmark::State& state)
{
    const BenchCase& c = BenchCases[state.range(0)];
    const int path = static_cast<int>(state.range(1));
    PageConverter converter = ConverterOf(c);
    if (!converter.UsePath(path)) {
        state.SkipWithError("this processor cannot run the path");
        return;
    }
    const std::vector<unsigned char> text = PrepareCase(c);
    std::vector<unsigned char> output(2 * BenchTextSize + 1);
    using Clock = std::chrono::steady_clock;
    Clock::duration engine = Clock::duration::max(), copy = Clock::duration::max();
    for (auto _ : state) {
        const auto start = Clock::now();
        RunCase(c, converter, output.data(), text.data());
        benchmark::ClobberMemory();
        const auto converted = Clock::now();
        std::memcpy(output.data(), text.data(), BenchTextSize);
        benchmark::ClobberMemory();
        const auto copied = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(converted - start).count());
        engine = std::min(engine, converted - start);
        copy = std::min(copy, copied - converted);
    }
    state.SetBytesProcessed(state.iterations() * BenchTextSize);
    state.counters["best_GBps"] = BenchTextSize / std::chrono::duration<double, std::nano>(engine).count();
    state.counters["memcpy_share"] = 100.0 * copy.count() / engine.count();
    state.SetLabel(std::string(c.name) + ", " + PathNames[path]);
}

void EngineArguments(benchmark::internal::Benchmark* b)
{
    for (int c = 0; c < BenchCaseCount; ++c)
        for (int path = 0; path < ConversionPathCount; ++path)
            b->Args({c, path});
}

// Counting the stand-ins of a block, which the file job does beside the
// conversion of every block (and tarvoconv, to find the first, where -c is
// not given), over the text of the first two cases: Russian letters with and
// without typography, which has no stand-ins but must be looked through.
// Beside it, in the same iterations, the plain way: a look-up for every
// byte in a table of the same answers.
void StandIns(benchmark::State& state)
{
    const BenchCase& c = BenchCases[state.range(0)];
    const std::vector<unsigned char> text = PrepareCase(c);
    const PageConverter converter = ConverterOf(c);
    unsigned char counted[256];
    for (int byte = 0; byte < 256; ++byte) {
        const unsigned char one = static_cast<unsigned char>(byte);
        counted[byte] = static_cast<unsigned char>(converter.CountStandIns(&one, 1));
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration engine = Clock::duration::max(), lookUps = Clock::duration::max();
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(converter.CountStandIns(text.data(), BenchTextSize));
        const auto counted1 = Clock::now();
        unsigned found = 0;
        for (unsigned n = 0; n < BenchTextSize; ++n)
            found += counted[text[n]];
        benchmark::DoNotOptimize(found);
        const auto counted2 = Clock::now();
        engine = std::min(engine, counted1 - start);
        lookUps = std::min(lookUps, counted2 - counted1);
    }
    state.SetBytesProcessed(state.iterations() * BenchTextSize);
    state.counters["best_GBps"] = BenchTextSize / std::chrono::duration<double, std::nano>(engine).count();
    state.counters["lookup_GBps"] = BenchTextSize / std::chrono::duration<double, std::nano>(lookUps).count();
    state.SetLabel(std::string("count stand-ins: ") + c.name);
}

void Iconv(benchmark::State& state)
{
    const std::vector<unsigned char> text = BenchTextOf(Koi8rLetters, false);
    std::vector<char> input(text.begin(), text.end());
    std::vector<char> output(2 * BenchTextSize);
    iconv_t cd = iconv_open("CP1251", "KOI8-R");
    using Clock = std::chrono::steady_clock;
    Clock::duration fastest = Clock::duration::max();
    for (auto _ : state) {
        const auto start = Clock::now();
        char* in = input.data();
        char* out = output.data();
        size_t inLeft = BenchTextSize, outLeft = output.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(iconv(cd, &in, &inLeft, &out, &outLeft));
        benchmark::ClobberMemory();
        fastest = std::min(fastest, Clock::now() - start);
    }
    iconv_close(cd);
    state.SetBytesProcessed(state.iterations() * BenchTextSize);
    state.counters["best_GBps"] = BenchTextSize / std::chrono::duration<double, std::nano>(fastest).count();
}

void Memcpy(benchmark::State& state)
{
    const std::vector<unsigned char> text = BenchTextOf(Koi8rLetters, false);
    std::vector<unsigned char> output(2 * BenchTextSize);
    for (auto _ : state) {
        std::memcpy(output.data(), text.data(), BenchTextSize);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * BenchTextSize);
}

} // namespace

BENCHMARK(Engine)->Apply(EngineArguments)->UseManualTime();
BENCHMARK(StandIns)->Arg(0)->Arg(1);
BENCHMARK(Iconv)->Name("glibc_iconv_KOI8R_to_CP1251");
BENCHMARK(Memcpy)->Name("memcpy");

BENCHMARK_MAIN();
