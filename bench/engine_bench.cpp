// The engine's speed per case and kernel, each benchmark named
// engine/CASE/KERNEL. Each iteration times the engine and then memcpy of the
// same bytes into the same output, so that the two are compared side by
// side under the same conditions, iteration by iteration: memcpy_share is
// the median of the iterations' ratios (memcpy's time over the engine's, in
// percent), median_GBps and best_GBps the engine's median and fastest
// iterations, best_share the fastest against memcpy's fastest. The C
// library's iconv() on the same text is the anchor.
//   engine_bench [--kernel=scalar,ssse3,avx2,avx512] [Google Benchmark's flags]
// TARVO_CONVERSION_PATH picks the kernels as --kernel does.
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine_cases.h"

namespace {

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void Engine(benchmark::State& state, const BenchCase& c, int path, const ProseSample& text)
{
    PageConverter converter = ConverterOf(c);
    if (!converter.UsePath(path)) {
        const std::string why =
            std::string("kernel ") + ConversionPathName(path) + " not run: this processor or build lacks it";
        state.SkipWithError(why.c_str());
        return;
    }
    std::vector<unsigned char> output(2 * c.size + 1);
    using Clock = std::chrono::steady_clock;
    std::vector<double> engine, ratios;
    double fastest = 1e9, fastestCopy = 1e9;
    for (auto _ : state) {
        const auto start = Clock::now();
        RunCase(c, converter, output.data(), text.text.data());
        benchmark::ClobberMemory();
        const auto converted = Clock::now();
        std::memcpy(output.data(), text.text.data(), c.size);
        benchmark::ClobberMemory();
        const auto copied = Clock::now();
        const double took = std::chrono::duration<double>(converted - start).count();
        const double copying = std::chrono::duration<double>(copied - converted).count();
        state.SetIterationTime(took);
        engine.push_back(took);
        ratios.push_back(copying / took);
        fastest = std::min(fastest, took);
        fastestCopy = std::min(fastestCopy, copying);
    }
    state.SetBytesProcessed(state.iterations() * c.size);
    state.counters["median_GBps"] = c.size / Median(engine) / 1e9;
    state.counters["best_GBps"] = c.size / fastest / 1e9;
    state.counters["memcpy_share"] = 100.0 * Median(ratios);
    state.counters["best_share"] = 100.0 * fastestCopy / fastest;
    state.SetLabel(std::string(c.name) + "; kernel " + ConversionPathName(path) + "; text " + text.source);
}

// Counting the stand-ins of a block, which the file job does beside the
// conversion of every block (and tarvoconv, to find the first, where -c is
// not given), over the text of a case: Russian prose, or letters with and
// without typography, which has no stand-ins but must be looked through.
// Beside it, in the same iterations, the plain way: a look-up for every
// byte in a table of the same answers.
void StandIns(benchmark::State& state, const BenchCase& c)
{
    const std::vector<unsigned char> text = TextOf(c).text;
    const unsigned size = static_cast<unsigned>(text.size());
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
        benchmark::DoNotOptimize(converter.CountStandIns(text.data(), size));
        const auto counted1 = Clock::now();
        unsigned found = 0;
        for (unsigned n = 0; n < size; ++n)
            found += counted[text[n]];
        benchmark::DoNotOptimize(found);
        const auto counted2 = Clock::now();
        engine = std::min(engine, counted1 - start);
        lookUps = std::min(lookUps, counted2 - counted1);
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["best_GBps"] = size / std::chrono::duration<double, std::nano>(engine).count();
    state.counters["lookup_GBps"] = size / std::chrono::duration<double, std::nano>(lookUps).count();
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

int main(int argc, char** argv)
{
    const std::vector<int> paths = PathsToTime(argc, argv);
    static std::vector<ProseSample> texts;  // the benchmarks keep references
    texts.reserve(BenchCaseCount);
    for (const BenchCase& c : BenchCases) {
        texts.push_back(TextOf(c));
        for (int path : paths) {
            const std::string name = std::string("engine/") + c.id + "/" + PathKey(ConversionPathName(path));
            benchmark::RegisterBenchmark(name.c_str(), Engine, c, path, texts.back())->UseManualTime();
        }
        if (c.text == Prose || c.text == ProseWithoutYo)
            benchmark::AddCustomContext(std::string("text of ") + c.id, texts.back().source);
    }
    for (const BenchCase& c : BenchCases)
        if (c.stream && !c.newlines && c.size == c.blockSize)
            benchmark::RegisterBenchmark((std::string("stand_ins/") + c.id).c_str(), StandIns, c);
    benchmark::RegisterBenchmark("glibc_iconv_KOI8R_to_CP1251", Iconv);
    benchmark::RegisterBenchmark("memcpy", Memcpy);
    benchmark::AddCustomContext("conversion path of this process", ConversionPathName(StartingConversionPath()));
    benchmark::AddCustomContext("fastest path of this processor", ConversionPathName(FastestConversionPath()));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
