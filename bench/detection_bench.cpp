// detection_bench [CORPUS_DIR]
//
// How often the code page detector names the right code page, beside the
// detectors people use today, asked about the same strings in the same run:
// the held-out part of the corpus (tools/detection/russian_corpus.h) cut
// into strings of 15..120 and of 200..1,000 characters, each encoded into
// all five code pages. A guess is right strictly when it names the page the
// string was encoded in, and right in text when that page reads the bytes
// as the same characters. Then times the detector on 4 KiB and 64 KiB.
// uchardet and enca are asked through their commands, with many files a
// call; one that is not installed gets no column.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "code_page_detection.h"
#include "russian_corpus.h"

namespace {

const char* const PageNames[CodePageCount] = {"cp866", "cp1251", "KOI8-R", "Mac", "ISO-8859-5"};
const char* const LengthNames[2] = {"15-120", "200-1000"};

struct Sample {
    int lengthClass;
    int page;
    std::string path;
    Bytes bytes;
    bool sameAs[CodePageCount];
};

struct Detector {
    const char* name;
    const char* command;  // run with the files' paths after it; empty for ours
    // Its names for the five pages, as it prints them, upper-cased.
    const char* names[CodePageCount];
    std::vector<int> guesses;  // per sample, a page or -1
};

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return text;
}

// Asks a command about every sample, many files a call, and reads its
// "path: NAME" lines. False when the command does not run.
bool AskCommand(Detector& detector, const std::vector<Sample>& samples)
{
    std::map<std::string, int> pageOfPath;
    const size_t batch = 400;
    for (size_t first = 0; first < samples.size(); first += batch) {
        // With one file the commands leave the path out: always name two.
        std::string command = detector.command;
        const size_t last = std::min(samples.size(), first + batch);
        for (size_t n = first; n < last; ++n)
            command += " " + samples[n].path;
        if (last - first == 1)
            command += " " + samples[first].path;
        command += " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return false;
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) {
            std::string text = line;
            const size_t colon = text.find(": ");
            if (colon == std::string::npos)
                continue;
            std::string name = UpperCase(text.substr(colon + 2));
            name = name.substr(0, name.find_first_of("/\r\n"));
            int page = -1;
            for (int p = 0; p < CodePageCount; ++p) {
                if (name == detector.names[p])
                    page = p;
            }
            pageOfPath[text.substr(0, colon)] = page;
        }
        if (pclose(pipe) != 0 && pageOfPath.empty())
            return false;
    }
    for (const Sample& sample : samples) {
        const auto found = pageOfPath.find(sample.path);
        detector.guesses.push_back(found == pageOfPath.end() ? -1 : found->second);
    }
    return true;
}

void PrintTable(const std::vector<Detector>& detectors, const std::vector<Sample>& samples, bool sameText)
{
    std::printf("\n%s\n\n| Length | Code page | Strings |", sameText ? "Right in text (decodes to the same text):"
                                                              : "Strictly right (names the page encoded in):");
    for (const Detector& detector : detectors)
        std::printf(" %s |", detector.name);
    std::printf("\n| --- | --- | ---: |");
    for (size_t d = 0; d < detectors.size(); ++d)
        std::printf(" ---: |");
    std::printf("\n");
    for (int lengthClass = 0; lengthClass < 2; ++lengthClass) {
        for (int page = 0; page <= CodePageCount; ++page) {  // CodePageCount: all pages
            int total = 0;
            std::vector<int> right(detectors.size(), 0);
            for (size_t n = 0; n < samples.size(); ++n) {
                const Sample& sample = samples[n];
                if (sample.lengthClass != lengthClass || (page < CodePageCount && sample.page != page))
                    continue;
                ++total;
                for (size_t d = 0; d < detectors.size(); ++d) {
                    const int guess = detectors[d].guesses[n];
                    right[d] += sameText ? guess >= 0 && sample.sameAs[guess] : guess == sample.page;
                }
            }
            std::printf("| %s | %s | %d |", LengthNames[lengthClass], page < CodePageCount ? PageNames[page] : "all",
                        total);
            for (size_t d = 0; d < detectors.size(); ++d)
                std::printf(" %.2f %% |", 100.0 * right[d] / total);
            std::printf("\n");
        }
    }
}

// Whether the confidence says how often the detector is right: its
// decisions grouped by confidence, with how many of each group were right.
void PrintCalibration(const std::vector<int>& confidences, const Detector& tarvo, const std::vector<Sample>& samples)
{
    const int bounds[] = {0, 50, 80, 95, 99, 101};
    std::printf("\nTarvo's confidence against how often it is right in text, all strings:\n\n"
                "| Confidence | Decisions | Right |\n| --- | ---: | ---: |\n");
    for (int group = 0; group + 1 < static_cast<int>(sizeof bounds / sizeof bounds[0]); ++group) {
        int decisions = 0, right = 0;
        for (size_t n = 0; n < samples.size(); ++n) {
            const int guess = tarvo.guesses[n];
            if (guess < 0 || confidences[n] < bounds[group] || confidences[n] >= bounds[group + 1])
                continue;
            ++decisions;
            right += samples[n].sameAs[guess];
        }
        if (decisions > 0)
            std::printf("| %d..%d | %d | %.2f %% |\n", bounds[group], bounds[group + 1] - 1, decisions,
                        100.0 * right / decisions);
    }
}

// The detector's time for one call on size bytes: the best mean over runs
// of repeated calls.
double MicrosecondsPerCall(const Bytes& text, unsigned size)
{
    volatile int sink = 0;
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const int calls = size > 8192 ? 200 : 4000;
        const auto start = std::chrono::steady_clock::now();
        for (int call = 0; call < calls; ++call)
            sink = sink + DetectCodePage(text.data(), size).page;
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count() / calls);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<Text> heldOut = PartOf(ReadFortunes(argc > 1 ? argv[1] : DefaultCorpusDir), HeldOutPart);
    // The long strings are cut three times, at different lengths, for
    // enough of them to count a tenth of a percent.
    std::vector<Text> pieces[2] = {CutPieces(heldOut, 15, 120, 11), {}};
    for (unsigned seed : {21u, 22u, 23u}) {
        const std::vector<Text> cut = CutPieces(heldOut, 200, 1000, seed);
        pieces[1].insert(pieces[1].end(), cut.begin(), cut.end());
    }

    char folder[] = "/tmp/detection_bench.XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    std::array<char32_t, 256> decodings[CodePageCount];
    for (int page = 0; page < CodePageCount; ++page)
        decodings[page] = DecodingOf(page);
    std::vector<Sample> samples;
    for (int lengthClass = 0; lengthClass < 2; ++lengthClass) {
        for (size_t n = 0; n < pieces[lengthClass].size(); ++n) {
            for (int page = 0; page < CodePageCount; ++page) {
                Sample sample;
                sample.lengthClass = lengthClass;
                sample.page = page;
                sample.bytes = Encode(pieces[lengthClass][n], page);
                sample.path = std::string(folder) + "/" + std::to_string(lengthClass) + "_" + std::to_string(n) +
                              "." + std::to_string(page);
                for (int other = 0; other < CodePageCount; ++other)
                    sample.sameAs[other] = ReadTheSame(sample.bytes, decodings[page], decodings[other]);
                if (FILE* file = std::fopen(sample.path.c_str(), "wb")) {
                    std::fwrite(sample.bytes.data(), 1, sample.bytes.size(), file);
                    std::fclose(file);
                }
                samples.push_back(sample);
            }
        }
    }

    std::vector<Detector> detectors = {
        {"Tarvo", "", {}, {}},
        {"uchardet", "uchardet", {"IBM866", "WINDOWS-1251", "KOI8-R", "MAC-CYRILLIC", "ISO-8859-5"}, {}},
        {"enca -L russian", "enca -L russian -e", {"IBM866", "CP1251", "KOI8-R", "MACCYR", "ISO-8859-5"}, {}},
    };
    std::vector<int> confidences;
    for (const Sample& sample : samples) {
        const Detection detection = DetectCodePage(sample.bytes.data(), static_cast<unsigned>(sample.bytes.size()));
        detectors[0].guesses.push_back(detection.page);
        confidences.push_back(detection.confidence);
    }
    for (size_t d = 1; d < detectors.size();) {
        if (AskCommand(detectors[d], samples)) {
            ++d;
        } else {
            std::printf("%s did not run: no column for it\n", detectors[d].name);
            detectors.erase(detectors.begin() + static_cast<long>(d));
        }
    }
    std::system((std::string("rm -rf ") + folder).c_str());

    std::printf("held-out part: %zu fortunes; %zu strings of 15-120 characters, %zu of 200-1000, each in five code pages\n",
                heldOut.size(), pieces[0].size(), pieces[1].size());
    PrintTable(detectors, samples, true);
    PrintTable(detectors, samples, false);
    PrintCalibration(confidences, detectors[0], samples);

    // Timing on held-out text in cp1251, repeated up to 64 KiB.
    Bytes text;
    for (size_t n = 0; text.size() < DetectionWindow; n = (n + 1) % pieces[1].size()) {
        const Bytes piece = Encode(pieces[1][n] + U"\r\n", CodePageCp1251);
        text.insert(text.end(), piece.begin(), piece.end());
    }
    std::printf("\nDetectCodePage, best of 5 runs: 4 KiB %.1f us, 64 KiB %.1f us a call\n",
                MicrosecondsPerCall(text, 4096), MicrosecondsPerCall(text, DetectionWindow));
    return 0;
}
