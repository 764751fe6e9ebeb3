#include "model_file.h"

#include <cstdio>

#include "cyrillic_corpus.h"

namespace {

const char* const PageNames[ReadingCount] = {"cp866", "cp1251", "KOI8-R", "Macintosh Cyrillic", "ISO-8859-5", "KOI8-U",
                                             "cp1125"};

const char* const SymbolNames[SymbolCount] = {
    "а", "б", "в", "г", "д", "е", "ж", "з", "и", "й", "к", "л", "м", "н", "о", "п", "р",
    "с", "т", "у", "ф", "х", "ц", "ч", "ш", "щ", "ъ", "ы", "ь", "э", "ю", "я", "ё",
    "і", "ї", "є", "ґ", "ў", "ђ", "ћ", "љ", "њ", "џ", "ј", "ѓ", "ќ", "ѕ",
    "space", "Latin", "digit", "mark", "stop", "quote", "opening quote", "closing quote", "apostrophe", "hyphen",
    "dash", "rare", "box both ways", "box right", "box left", "box side", "shade"};

void WriteRow(FILE* file, const unsigned char* values, int count, int perLine, const char* indent)
{
    for (int at = 0; at < count; ++at) {
        if (at % perLine == 0)
            std::fprintf(file, "%s", indent);
        std::fprintf(file, "%3d,%s", values[at], at % perLine == perLine - 1 || at == count - 1 ? "\n" : "");
    }
}

} // namespace

bool WriteModelSource(const DetectionModel& model, const std::string& path, const std::string& corpusDescription)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file,
        "// The statistics of Cyrillic text that the code page detector scores with.\n"
        "// Written by tools/detection/train_detection; do not edit. To make it again:\n"
        "//   tools/detection/install_corpus.sh\n"
        "//   cmake --build build --target train_detection\n"
        "//   build/tools/detection/train_detection engine/cyrillic_statistics.cpp\n"
        "// Counted in eight tenths of these Debian packages' text, and calibrated on\n"
        "// a ninth; the detection benchmark holds out the tenth:\n");
    std::string line;
    for (char c : DescribeSources() + corpusDescription) {
        if (c != '\n') {
            line += c;
            continue;
        }
        std::fprintf(file, "//   %s\n", line.c_str());
        line.clear();
    }
    std::fprintf(file, "#include \"detection_model.h\"\n\nconst DetectionModel CyrillicModel = {\n"
                       "    // token: what each byte reads as in each code page (detection_model.h)\n    {\n");
    for (int page = 0; page < ReadingCount; ++page) {
        std::fprintf(file, "        {   // %s\n", PageNames[page]);
        WriteRow(file, model.token[page], 256, 16, "            ");
        std::fprintf(file, "        },\n");
    }
    std::fprintf(file, "    },\n    // byteCost: what a byte costs beyond its pair\n    {\n");
    for (int page = 0; page < ReadingCount; ++page) {
        std::fprintf(file, "        {   // %s\n", PageNames[page]);
        WriteRow(file, model.byteCost[page], 256, 16, "            ");
        std::fprintf(file, "        },\n");
    }
    std::fprintf(file, "    },\n    // pairCost[previous * 64 + next][language], in eighths of a nat:\n"
                       "    // Russian, Ukrainian, Belarusian, Bulgarian, Serbian, Macedonian\n    {\n");
    for (int previous = 0; previous < SymbolStride; ++previous) {
        for (int next = 0; next < SymbolStride; ++next) {
            const unsigned char* lanes = model.pairCost[previous * SymbolStride + next];
            if (previous < SymbolCount && next < SymbolCount)
                std::fprintf(file, "        {%d, %d, %d, %d, %d, %d, 0, 0},  // %s %s\n", lanes[0], lanes[1], lanes[2],
                             lanes[3], lanes[4], lanes[5], SymbolNames[previous], SymbolNames[next]);
            else
                std::fprintf(file, "        {},\n");
        }
    }
    const char* const states[CaseStateCount] = {"a sentence's end", "a line's end", "another gap",
                                                "a word's first capital", "capitals", "small letters",
                                                "a word in capitals", "a first capital after a word in capitals"};
    std::fprintf(file, "    },\n    // caseCost[state][token]\n    {\n");
    for (int state = 0; state < CaseStateCount; ++state) {
        std::fprintf(file, "        {   // after %s\n", states[state]);
        WriteRow(file, model.caseCost[state], TokenCount, 16, "            ");
        std::fprintf(file, "        },\n");
    }
    std::fprintf(file, "    },\n    // confidence by kind (other, case flipped, letters swapped), evidence and\n"
                       "    // margin, in quarters of a nat\n    {\n");
    for (int kind = 0; kind < PairKindCount; ++kind) {
        std::fprintf(file, "        {\n");
        for (int band = 0; band < EvidenceBandCount; ++band) {
            std::fprintf(file, "            {\n");
            WriteRow(file, model.confidence[kind][band], static_cast<int>(sizeof model.confidence[kind][band]), 16,
                     "                ");
            std::fprintf(file, "            },\n");
        }
        std::fprintf(file, "        },\n");
    }
    std::fprintf(file, "    },\n    // pageCost\n    {");
    for (int page = 0; page < ReadingCount; ++page)
        std::fprintf(file, "%d%s", model.pageCost[page], page + 1 < ReadingCount ? ", " : "},\n");
    std::fprintf(file,
        "    "
        "%d,  // minimumLetters\n"
        "    %d,  // highestMeanByteCost\n"
        "};\n",
        model.minimumLetters, model.highestMeanByteCost);
    return std::fclose(file) == 0;
}
