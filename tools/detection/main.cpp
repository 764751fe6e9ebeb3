// train_detection OUTPUT_CPP [--files TUNE_DIR] [--mistakes]
//
// Counts the statistics of Cyrillic text in the counting part of the
// corpus (cyrillic_corpus.h), calibrates the detector's confidence on
// pieces of the calibration part (in capitals too, and abbreviations), and
// with --files on the files of the tune part of the corpus of files
// (tools/detection/make_file_corpus.py), prints how the detector does on
// those, and writes the statistics as OUTPUT_CPP
// (engine/cyrillic_statistics.cpp). The held-out part is never read here.
// With --mistakes, also prints every calibration piece it gets wrong.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "model_file.h"
#include "model_training.h"

namespace {

const char* const PageNames[ReadingCount] = {"cp866", "cp1251", "koi8-r", "mac", "iso-8859-5", "koi8-u", "cp1125"};

void PrintAccuracy(const DetectionModel& model, const std::vector<Sample>& samples, bool mistakes)
{
    for (int language = 0; language < LanguageCount; ++language) {
        for (int lengthClass = 0; lengthClass < LengthClassCount; ++lengthClass) {
            std::printf("%-10s %-8s", LanguageNames[language], LengthNames[lengthClass]);
            for (int page = 0; page < ReadingCount; ++page) {
                int total = 0, right = 0, confident = 0;
                for (const Sample& sample : samples) {
                    if (sample.language != language || sample.lengthClass != lengthClass || sample.page != page)
                        continue;
                    PageScores scores;
                    const unsigned count = static_cast<unsigned>(sample.bytes.size());
                    ScoreCodePages(model, sample.bytes.data(), count, scores);
                    const Detection detection = DecideCodePage(model, scores, DeclaredReading(sample.bytes.data(), count));
                    ++total;
                    const bool ok = detection.page >= 0 && sample.sameAs[detection.page];
                    right += ok;
                    confident += !ok && detection.page >= 0 && detection.confidence >= 90;
                    if (!ok && mistakes && (detection.confidence >= 90 || sample.bytes.size() < 2000)) {
                        std::printf("\n  %s taken for %s (%d %%): %s", PageNames[page],
                                    detection.page < 0 ? "none" : PageNames[detection.page], detection.confidence,
                                    ToUtf8(sample.text).c_str());
                        for (unsigned char byte : sample.bytes)
                            std::printf(" %02X", byte);
                    }
                }
                if (total > 0)
                    std::printf(" %s %6.2f%%", PageNames[page], 100.0 * right / total);
                if (total > 0 && page == CodePageCp1251)
                    std::printf(" (%.2f%% confidently wrong)", 100.0 * confident / total);
            }
            std::printf("\n");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    bool mistakes = false, usage = argc < 2;
    std::string files;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mistakes") == 0)
            mistakes = true;
        else if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc)
            files = argv[++i];
        else
            usage = true;
    }
    if (usage) {
        std::fprintf(stderr, "usage: train_detection OUTPUT_CPP [--files TUNE_DIR] [--mistakes]\n");
        return 2;
    }
    std::vector<LanguageText> languages, calibration;
    std::string description;
    for (int language = 0; language < LanguageCount; ++language) {
        calibration.push_back(ReadLanguage(language, CalibrationPart));
        languages.push_back(ReadLanguage(language, CountingPart));
        const LanguageText& text = languages.back();
        description += std::string(LanguageNames[language]) + ": " + std::to_string(text.proseCharacters) +
                       " characters of prose, " + std::to_string(text.sentenceCharacters) +
                       " of words set in sentences counted\n";
        std::printf("%s", description.c_str() + description.rfind('\n', description.size() - 2) + 1);
        std::fflush(stdout);
    }

    auto model = std::make_unique<DetectionModel>();
    CountStatistics(languages, *model);
    const size_t perClass[LengthClassCount] = {3000, 3000, 400};
    std::vector<Sample> samples = MakeSamples(calibration, perClass, 1, true);
    if (!files.empty()) {
        const std::vector<Sample> fromFiles = ReadFileSamples(files);
        samples.insert(samples.end(), fromFiles.begin(), fromFiles.end());
        std::printf("%zu files of %s\n", fromFiles.size(), files.c_str());
    }
    Calibrate(samples, *model);
    PrintAccuracy(*model, samples, mistakes);

    if (!WriteModelSource(*model, argv[1], description)) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
