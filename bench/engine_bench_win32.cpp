// The engine's speed in the 32-bit build, run under Wine, where Google
// Benchmark is not at hand: for every case and kernel, the engine and
// memcpy of the same bytes take turns, and both the median of the rounds'
// ratios and the fastest round of each (the one no other process
// interrupted) are compared.
//   engine_bench_win32.exe [--kernel=scalar,ssse3,avx2] [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine_cases.h"

int main(int argc, char** argv)
{
    const std::vector<int> paths = PathsToTime(argc, argv);
    const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 300;
    using Clock = std::chrono::steady_clock;
    std::printf("conversion path of this process: %s\n", ConversionPathName(StartingConversionPath()));
    std::printf("| Case | Kernel | Median | Median vs memcpy | Best | Best vs memcpy |\n"
                "| --- | --- | ---: | ---: | ---: | ---: |\n");
    for (const BenchCase& c : BenchCases) {
        const ProseSample text = TextOf(c);
        if (c.text == Prose || c.text == ProseWithoutYo)
            std::printf("text of %s: %s\n", c.id, text.source.c_str());
        std::vector<unsigned char> output(2 * c.size + 1);
        for (int path : paths) {
            PageConverter converter = ConverterOf(c);
            if (!converter.UsePath(path)) {
                std::printf("| %s | %s | not run: this processor or build lacks it | | | |\n", c.name,
                            ConversionPathName(path));
                continue;
            }
            std::vector<double> engine, ratios;
            double fastest = 1e9, fastestCopy = 1e9;
            for (int round = 0; round < rounds; ++round) {
                const auto start = Clock::now();
                RunCase(c, converter, output.data(), text.text.data());
                const auto converted = Clock::now();
                std::memcpy(output.data(), text.text.data(), c.size);
                const auto copied = Clock::now();
                const double took = std::chrono::duration<double>(converted - start).count();
                const double copying = std::chrono::duration<double>(copied - converted).count();
                engine.push_back(took);
                ratios.push_back(copying / took);
                fastest = std::min(fastest, took);
                fastestCopy = std::min(fastestCopy, copying);
            }
            std::sort(engine.begin(), engine.end());
            std::sort(ratios.begin(), ratios.end());
            std::printf("| %s | %s | %.2f GB/s | %.1f %% | %.2f GB/s | %.1f %% |\n", c.name, ConversionPathName(path),
                        c.size / engine[engine.size() / 2] / 1e9, 100 * ratios[ratios.size() / 2],
                        c.size / fastest / 1e9, 100 * fastestCopy / fastest);
        }
    }
    return 0;
}
