// The engine's speed in the 32-bit build, run under Wine, where Google
// Benchmark is not at hand: for every case and path, the engine and memcpy
// of the same 1 MiB take turns, and the fastest round of each (the one no
// other process interrupted) is compared.
//   engine_bench_win32.exe [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine_cases.h"

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 300;
    std::vector<unsigned char> output(2 * BenchTextSize + 1);
    using Clock = std::chrono::steady_clock;
    std::printf("| Case | Path | Throughput | vs memcpy |\n| --- | --- | ---: | ---: |\n");
    for (const BenchCase& c : BenchCases) {
        const std::vector<unsigned char> text = PrepareCase(c);
        for (int path = 0; path < ConversionPathCount; ++path) {
            PageConverter converter = ConverterOf(c);
            if (!converter.UsePath(path)) {
                std::printf("| %s | %s | not run: this processor lacks it | |\n", c.name, PathNames[path]);
                continue;
            }
            Clock::duration engine = Clock::duration::max(), copy = Clock::duration::max();
            for (int round = 0; round < rounds; ++round) {
                const auto start = Clock::now();
                RunCase(c, converter, output.data(), text.data());
                const auto converted = Clock::now();
                std::memcpy(output.data(), text.data(), BenchTextSize);
                const auto copied = Clock::now();
                engine = std::min(engine, converted - start);
                copy = std::min(copy, copied - converted);
            }
            const double seconds = std::chrono::duration<double>(engine).count();
            std::printf("| %s | %s | %.2f GB/s | %.1f %% |\n", c.name, PathNames[path], BenchTextSize / seconds / 1e9,
                        100.0 * std::chrono::duration<double>(copy).count() / seconds);
        }
    }
    return 0;
}
