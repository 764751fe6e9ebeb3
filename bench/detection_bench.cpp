// detection_bench [--time | --catalogues]
//
// How often the code page detector names an encoding that reads the text
// right, beside the detectors people use today, asked about the same
// strings in the same run: the held-out part of every language's corpus
// (tools/detection/cyrillic_corpus.h), cut into strings of 5-15, 16-120 and
// 200-1,000 characters, every other one with the language's typography,
// each in every code page that can hold it. An answer is right in text
// when the encoding it names decodes the bytes to the string. uchardet,
// enca (with the language option that fits) and chardet are asked through
// their commands, with many files a call; one that is not installed gets
// no column. Then the confidence against how often it is right, and the
// time of a call on 4 KiB and 64 KiB beside uchardet's (its library, when
// the benchmark was built with it); with --time, only that. With
// --catalogues, instead, Tarvo alone on every translated string of this
// machine's translation catalogues in the six languages (text no part of
// the corpus ever saw), each in every page that holds it.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <map>
#include <string>
#include <vector>

#include "model_training.h"
#include "text_encoding_detection.h"

#ifdef TARVO_WITH_UCHARDET
#include <uchardet.h>
#endif

namespace {

const char* const PageNames[ReadingCount] = {"cp866", "cp1251", "KOI8-R", "Mac", "ISO-8859-5", "KOI8-U", "cp1125"};

struct Detector {
    std::string name;
    std::vector<std::string> commands;  // per language, run with the files' paths after it; empty for ours
    std::vector<std::string> answers;   // per sample, the encoding's name as it prints it
};

// Whether bytes in the encoding iconv knows as name are text.
bool DecodesTo(const std::string& name, const Bytes& bytes, const Text& text)
{
    static std::map<std::string, iconv_t> converters;
    auto found = converters.find(name);
    if (found == converters.end()) {
        std::string iconvName = name == "maccyr" || name == "MACCYR" ? "MACCYRILLIC" : name;
        iconvName = iconvName == "ECMA-113" ? "ISO-IR-111" : iconvName;
        found = converters.emplace(name, iconv_open("UTF-32LE", iconvName.c_str())).first;
    }
    if (found->second == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv(found->second, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> out(bytes.size() * 4 + 8);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes.data()));
    char* to = out.data();
    size_t inLeft = bytes.size(), outLeft = out.size();
    if (iconv(found->second, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    const size_t characters = (out.size() - outLeft) / 4;
    if (characters != text.size())
        return false;
    for (size_t n = 0; n < characters; ++n) {
        const auto byte = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(out[4 * n + k])); };
        if ((byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24) != text[n])
            return false;
    }
    return true;
}

std::string TarvoName(const TextEncoding& found)
{
    if (found.encoding >= 0 && found.encoding < CodePageCount)
        return IconvNames[found.encoding];
    switch (found.encoding) {
    case EncodingUtf8: return "UTF-8";
    case EncodingKoi8u: return "KOI8-U";
    case EncodingCp1125: return "CP1125";
    case EncodingUtf16: return "UTF-16LE";
    case EncodingUtf16Be: return "UTF-16BE";
    case EncodingAscii: return "ASCII";
    default: return "unknown";
    }
}

// Asks a command about the samples of a language, many files a call, and
// reads its "path: NAME" lines. False when the command does not run.
bool AskCommand(Detector& detector, const std::vector<Sample>& samples, const std::vector<std::string>& paths)
{
    std::map<std::string, std::string> answerOfPath;
    for (int language = 0; language < LanguageCount; ++language) {
        std::vector<size_t> mine;
        for (size_t n = 0; n < samples.size(); ++n) {
            if (samples[n].language == language)
                mine.push_back(n);
        }
        const size_t batch = 400;
        for (size_t first = 0; first < mine.size(); first += batch) {
            // With one file the commands leave the path out: always name two.
            std::string command = detector.commands[language];
            const size_t last = std::min(mine.size(), first + batch);
            for (size_t k = first; k < last; ++k)
                command += " " + paths[mine[k]];
            if (last - first == 1)
                command += " " + paths[mine[first]];
            command += " 2>/dev/null";
            FILE* pipe = popen(command.c_str(), "r");
            if (!pipe)
                return false;
            char line[512];
            while (std::fgets(line, sizeof line, pipe)) {
                const std::string text = line;
                const size_t colon = text.find(": ");
                if (colon == std::string::npos)
                    continue;
                std::string name = text.substr(colon + 2);
                name = name.substr(0, name.find_first_of("/ \r\n"));
                answerOfPath[text.substr(0, colon)] = name;
            }
            pclose(pipe);
        }
    }
    if (answerOfPath.empty())
        return false;
    for (const std::string& path : paths) {
        const auto found = answerOfPath.find(path);
        detector.answers.push_back(found == answerOfPath.end() ? "none" : found->second);
    }
    return true;
}

void PrintAccuracy(const std::vector<Detector>& detectors, const std::vector<Sample>& samples,
                   const std::vector<std::vector<bool>>& right)
{
    for (int language = 0; language < LanguageCount; ++language) {
        std::printf("\n%s, right in text:\n\n| Length | Code page | Strings |", LanguageNames[language]);
        for (const Detector& detector : detectors)
            std::printf(" %s |", detector.name.c_str());
        std::printf("\n| --- | --- | ---: |");
        for (size_t d = 0; d < detectors.size(); ++d)
            std::printf(" ---: |");
        std::printf("\n");
        for (int lengthClass = 0; lengthClass < LengthClassCount; ++lengthClass) {
            for (int page = 0; page <= ReadingCount; ++page) {  // ReadingCount: all pages
                int total = 0;
                std::vector<int> hits(detectors.size(), 0);
                for (size_t n = 0; n < samples.size(); ++n) {
                    const Sample& sample = samples[n];
                    if (sample.language != language || sample.lengthClass != lengthClass ||
                        (page < ReadingCount && sample.page != page))
                        continue;
                    ++total;
                    for (size_t d = 0; d < detectors.size(); ++d)
                        hits[d] += right[d][n];
                }
                if (total == 0)
                    continue;
                std::printf("| %s | %s | %d |", LengthNames[lengthClass], page < ReadingCount ? PageNames[page] : "all",
                            total);
                for (size_t d = 0; d < detectors.size(); ++d)
                    std::printf(" %.2f %% |", 100.0 * hits[d] / total);
                std::printf("\n");
            }
        }
    }
}

// cp1251 text named as something else with confidence at or above the
// program's threshold: the text the program would garble.
void PrintConfidentMistakes(const std::vector<Sample>& samples, const std::vector<TextEncoding>& found,
                            const std::vector<bool>& right)
{
    const int threshold = 90;
    std::printf("\nTarvo: cp1251 text taken for another encoding with confidence >= %d:\n\n"
                "| Language | 5-15 | 16-120 | 200-1000 |\n| --- | ---: | ---: | ---: |\n", threshold);
    for (int language = 0; language < LanguageCount; ++language) {
        std::printf("| %s |", LanguageNames[language]);
        for (int lengthClass = 0; lengthClass < LengthClassCount; ++lengthClass) {
            int total = 0, wrong = 0;
            for (size_t n = 0; n < samples.size(); ++n) {
                if (samples[n].language != language || samples[n].lengthClass != lengthClass ||
                    samples[n].page != CodePageCp1251)
                    continue;
                ++total;
                wrong += !right[n] && found[n].encoding >= 0 && found[n].confidence >= threshold;
            }
            std::printf(" %.2f %% (%d of %d) |", total ? 100.0 * wrong / total : 0.0, wrong, total);
        }
        std::printf("\n");
    }
}

// Of the answers given with confidence in each tenth, how many were right:
// all languages together, then each language.
void PrintCalibration(const std::vector<Sample>& samples, const std::vector<TextEncoding>& found,
                      const std::vector<bool>& right)
{
    std::printf("\nTarvo's confidence against how often it is right in text (decisions / right):\n\n"
                "| Confidence | all |");
    for (const char* name : LanguageNames)
        std::printf(" %s |", name);
    std::printf("\n| --- | ---: |");
    for (int language = 0; language < LanguageCount; ++language)
        std::printf(" ---: |");
    std::printf("\n");
    const int bounds[] = {0, 50, 60, 70, 80, 90, 95, 99, 100, 101};
    for (size_t group = 0; group + 1 < sizeof bounds / sizeof bounds[0]; ++group) {
        std::printf("| %d..%d |", bounds[group], bounds[group + 1] - 1);
        for (int language = -1; language < LanguageCount; ++language) {
            int decisions = 0, hits = 0;
            for (size_t n = 0; n < samples.size(); ++n) {
                if (found[n].encoding < 0 || found[n].confidence < bounds[group] ||
                    found[n].confidence >= bounds[group + 1] || (language >= 0 && samples[n].language != language))
                    continue;
                ++decisions;
                hits += right[n];
            }
            if (decisions == 0)
                std::printf(" - |");
            else
                std::printf(" %d / %.2f %% |", decisions, 100.0 * hits / decisions);
        }
        std::printf("\n");
    }
}

double ThreadMicroseconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// The best mean time of a call over runs of repeated calls, in the
// thread's own processor time: the machine is shared, and time spent
// waiting for a core is no time of the detector's.
template <typename Call>
double MicrosecondsPerCall(Call call, int calls)
{
    double best = 1e30;
    for (int run = 0; run < 9; ++run) {
        const double start = ThreadMicroseconds();
        for (int n = 0; n < calls; ++n)
            call();
        best = std::min(best, (ThreadMicroseconds() - start) / calls);
    }
    return best;
}

void PrintTimes(const std::vector<LanguageText>& languages)
{
    // Held-out Russian prose and Ukrainian words, in cp1251 and in
    // Macintosh Cyrillic, repeated up to 64 KiB.
    std::printf("\nTime of one call, best of 9 runs, in processor time (microseconds):\n\n| Text | Bytes | Tarvo |");
#ifdef TARVO_WITH_UCHARDET
    std::printf(" uchardet |");
#endif
    std::printf("\n| --- | ---: | ---: |%s\n",
#ifdef TARVO_WITH_UCHARDET
                " ---: |"
#else
                ""
#endif
    );
    for (int page : {CodePageCp1251, CodePageMac}) {
        Bytes text;
        const std::vector<Text>& prose = languages[LanguageRussian].prose;
        for (size_t n = 0; text.size() < DetectionWindow; n = (n + 1) % prose.size()) {
            Bytes piece;
            if (Encode(prose[n] + U"\r\n", page, piece))
                text.insert(text.end(), piece.begin(), piece.end());
        }
        for (unsigned size : {4096u, DetectionWindow}) {
            volatile int sink = 0;
            const int calls = size > 8192 ? 200 : 2000;
            const double ours = MicrosecondsPerCall([&] { sink = sink + DetectTextEncoding(text.data(), size).encoding; }, calls);
            std::printf("| Russian, %s | %u | %.1f |", PageNames[page], size, ours);
#ifdef TARVO_WITH_UCHARDET
            const double theirs = MicrosecondsPerCall([&] {
                uchardet_t detector = uchardet_new();
                uchardet_handle_data(detector, reinterpret_cast<const char*>(text.data()), size);
                uchardet_data_end(detector);
                sink = sink + uchardet_get_charset(detector)[0];
                uchardet_delete(detector);
            }, calls / 10);
            std::printf(" %.1f |", theirs);
#endif
            std::printf("\n");
        }
    }
}

// The translations of a catalogue: each msgstr of msgunfmt's output.
std::vector<Text> CatalogueStrings(const std::string& path)
{
    std::vector<Text> strings;
    FILE* pipe = popen(("msgunfmt '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe)
        return strings;
    std::string all;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        all.append(buffer, got);
    pclose(pipe);
    std::string current;
    bool inString = false;
    const auto finish = [&] {
        if (inString && !current.empty())
            strings.push_back(FromUtf8Text(current));
        current.clear();
        inString = false;
    };
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos)
            end = all.size();
        const std::string line = all.substr(start, end - start);
        start = end + 1;
        const size_t quote = line.find('"');
        if (line.compare(0, 6, "msgstr") == 0) {
            finish();
            inString = true;
        } else if (line.empty() || line[0] != '"') {
            finish();
            continue;
        }
        if (!inString || quote == std::string::npos)
            continue;
        for (size_t at = quote + 1; at + 1 < line.size(); ++at) {
            if (line[at] == '\\' && at + 2 < line.size()) {
                const char next = line[++at];
                current += next == 'n' ? '\n' : next == 't' ? '\t' : next;
            } else {
                current += line[at];
            }
        }
    }
    finish();
    return strings;
}

int RunCatalogues()
{
    static const char* const Codes[LanguageCount] = {"ru", "uk", "be", "bg", "sr", "mk"};
    std::array<char32_t, 256> decodings[ReadingCount];
    for (int page = 0; page < ReadingCount; ++page)
        decodings[page] = DecodingOf(page);
    int calibration[101][2] = {};
    std::printf("| Language | Strings | Files | Right | No answer | Wrong | Wrong at >= 90 | cp1251 wrong at >= 90 |\n"
                "| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n");
    long totals[6] = {};
    for (int language = 0; language < LanguageCount; ++language) {
        const std::string folder = std::string("/usr/share/locale/") + Codes[language] + "/LC_MESSAGES";
        std::vector<Text> strings;
        if (FILE* list = popen(("ls " + folder + "/*.mo 2>/dev/null").c_str(), "r")) {
            char line[1024];
            while (std::fgets(line, sizeof line, list)) {
                std::string path = line;
                path.erase(path.find_last_not_of("\n") + 1);
                for (const Text& text : CatalogueStrings(path)) {
                    if (std::any_of(text.begin(), text.end(), [](char32_t c) { return c >= 0x400 && c <= 0x4FF; }))
                        strings.push_back(text);
                }
            }
            pclose(list);
        }
        long files = 0, right = 0, none = 0, wrong = 0, confident = 0, cp1251 = 0, cp1251Confident = 0;
        for (const Text& text : strings) {
            for (int page = 0; page < ReadingCount; ++page) {
                Bytes bytes, sibling;
                if (!Encode(text, page, bytes))
                    continue;
                if (page >= CodePageCount && Encode(text, page == ReadingKoi8u ? CodePageKoi8r : CodePageCp866, sibling))
                    continue;
                ++files;
                const TextEncoding found = DetectTextEncoding(bytes.data(), static_cast<unsigned>(bytes.size()));
                int reading = -1;
                for (int r = 0; r < ReadingCount; ++r) {
                    static const int Encodings[ReadingCount] = {0, 1, 2, 3, 4, EncodingKoi8u, EncodingCp1125};
                    reading = Encodings[r] == found.encoding ? r : reading;
                }
                const bool ok = reading >= 0 && ReadTheSame(bytes, decodings[page], decodings[reading]);
                // Pure ASCII is no question of page; UTF-8 is well-formed
                // text read as such, wrong for a page's bytes.
                right += ok;
                none += found.encoding == NoDecision;
                wrong += !ok && found.encoding != NoDecision;
                const bool confidentlyWrong = !ok && found.encoding != NoDecision && found.confidence >= 90;
                confident += confidentlyWrong;
                static const long shown = std::getenv("MISTAKES") ? std::atol(std::getenv("MISTAKES")) : 0;
                static long printed = 0;
                if (confidentlyWrong && printed++ < shown)
                    std::fprintf(stderr, "%s %s taken for %d at %d: %s\n", Codes[language], IconvNames[page], found.encoding,
                                 found.confidence, ToUtf8(text).c_str());
                cp1251 += page == CodePageCp1251;
                cp1251Confident += page == CodePageCp1251 && confidentlyWrong;
                if (found.encoding != NoDecision) {
                    calibration[found.confidence][0] += 1;
                    calibration[found.confidence][1] += ok;
                }
            }
        }
        std::printf("| %s | %zu | %ld | %.2f %% | %.2f %% | %.2f %% | %.3f %% (%ld) | %.3f %% (%ld) |\n", LanguageNames[language],
                    strings.size(), files, 100.0 * right / std::max(1L, files), 100.0 * none / std::max(1L, files),
                    100.0 * wrong / std::max(1L, files), 100.0 * confident / std::max(1L, files), confident,
                    100.0 * cp1251Confident / std::max(1L, cp1251), cp1251Confident);
        const long add[6] = {static_cast<long>(strings.size()), files, right, confident, cp1251, cp1251Confident};
        for (int k = 0; k < 6; ++k)
            totals[k] += add[k];
    }
    std::printf("| all | %ld | %ld | %.2f %% | | | %.3f %% (%ld) | %.3f %% (%ld) |\n", totals[0], totals[1],
                100.0 * totals[2] / std::max(1L, totals[1]), 100.0 * totals[3] / std::max(1L, totals[1]), totals[3],
                100.0 * totals[5] / std::max(1L, totals[4]), totals[5]);
    std::printf("\n| Confidence | Answers | Right |\n| --- | ---: | ---: |\n");
    const int bounds[] = {0, 50, 60, 70, 80, 90, 95, 99, 100, 101};
    for (size_t group = 0; group + 1 < sizeof bounds / sizeof bounds[0]; ++group) {
        long answers = 0, hits = 0;
        for (int c = bounds[group]; c < bounds[group + 1]; ++c) {
            answers += calibration[c][0];
            hits += calibration[c][1];
        }
        if (answers)
            std::printf("| %d..%d | %ld | %.2f %% |\n", bounds[group], bounds[group + 1] - 1, answers, 100.0 * hits / answers);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--catalogues")
        return RunCatalogues();
    std::vector<LanguageText> languages;
    for (int language = 0; language < LanguageCount; ++language)
        languages.push_back(ReadLanguage(language, HeldOutPart));
    if (argc > 1 && std::string(argv[1]) == "--time") {
        PrintTimes(languages);
        return 0;
    }
    const size_t perClass[LengthClassCount] = {2000, 2000, 500};
    const std::vector<Sample> samples = MakeSamples(languages, perClass, 1000);

    char folder[] = "/dev/shm/detection_bench.XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    std::vector<std::string> paths;
    std::vector<TextEncoding> found;
    Detector tarvo{"Tarvo", {}, {}};
    for (size_t n = 0; n < samples.size(); ++n) {
        const Sample& sample = samples[n];
        paths.push_back(std::string(folder) + "/" + std::to_string(n));
        if (FILE* file = std::fopen(paths.back().c_str(), "wb")) {
            std::fwrite(sample.bytes.data(), 1, sample.bytes.size(), file);
            std::fclose(file);
        }
        found.push_back(DetectTextEncoding(sample.bytes.data(), static_cast<unsigned>(sample.bytes.size())));
        tarvo.answers.push_back(TarvoName(found.back()));
    }

    // enca knows no Serbian nor Macedonian: Russian is the language whose
    // option covers all five pages.
    const std::vector<std::string> uchardet(LanguageCount, "uchardet");
    const std::vector<std::string> enca = {"enca -e -L russian", "enca -e -L ukrainian", "enca -e -L belarusian",
                                           "enca -e -L bulgarian", "enca -e -L russian", "enca -e -L russian"};
    const std::vector<std::string> chardet(LanguageCount, "chardetect");
    std::vector<Detector> detectors = {tarvo, {"uchardet", uchardet, {}}, {"enca -L (language)", enca, {}},
                                       {"chardet", chardet, {}}};
    for (size_t d = 1; d < detectors.size();) {
        if (AskCommand(detectors[d], samples, paths)) {
            ++d;
        } else {
            std::printf("%s did not run: no column for it\n", detectors[d].name.c_str());
            detectors.erase(detectors.begin() + static_cast<long>(d));
        }
    }
    std::system((std::string("rm -rf ") + folder).c_str());

    std::vector<std::vector<bool>> right(detectors.size(), std::vector<bool>(samples.size()));
    for (size_t d = 0; d < detectors.size(); ++d) {
        for (size_t n = 0; n < samples.size(); ++n)
            right[d][n] = DecodesTo(detectors[d].answers[n], samples[n].bytes, samples[n].text);
    }

    std::printf("held-out strings, each in every page that holds it:");
    for (int language = 0; language < LanguageCount; ++language) {
        int count[LengthClassCount] = {};
        for (const Sample& sample : samples)
            count[sample.lengthClass] += sample.language == language && sample.page == CodePageCp1251;
        std::printf(" %s %d/%d/%d;", LanguageNames[language], count[0], count[1], count[2]);
    }
    std::printf("\n");
    PrintAccuracy(detectors, samples, right);
    PrintConfidentMistakes(samples, found, right[0]);
    PrintCalibration(samples, found, right[0]);
    PrintTimes(languages);
    return 0;
}
