#include "model_file.h"

#include <cstdio>

namespace {

const char* const PageNames[CodePageCount] = {"cp866", "cp1251", "KOI8-R", "Macintosh Cyrillic", "ISO-8859-5"};

// The letters as the comments of the pair table name them.
const char* const SymbolNames[SymbolCount] = {
    "а", "б", "в", "г", "д", "е", "ж", "з", "и", "й", "к", "л", "м", "н", "о", "п", "р",
    "с", "т", "у", "ф", "х", "ц", "ч", "ш", "щ", "ъ", "ы", "ь", "э", "ю", "я", "ё",
    "space", "mark", "opening quote", "closing quote", "dash"};

void WriteRow(FILE* file, const unsigned char* values, int count, const char* indent)
{
    for (int at = 0; at < count; ++at) {
        if (at % 16 == 0)
            std::fprintf(file, "%s", indent);
        std::fprintf(file, "%3d,%s", values[at], at % 16 == 15 || at == count - 1 ? "\n" : "");
    }
}

} // namespace

bool WriteModelSource(const DetectionModel& model, const std::string& path, const std::string& corpusDescription)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file,
        "// The statistics of Russian text that the code page detector scores with.\n"
        "// Written by tools/detection/train_detection; do not edit. To make it again:\n"
        "//   cmake --build build --target train_detection\n"
        "//   build/tools/detection/train_detection /usr/share/games/fortunes/ru engine/russian_statistics.cpp\n"
        "// %s\n"
        "// Counted in the training part of the fortunes of Debian's fortunes-ru\n"
        "// package (GPL-2 or later, see /usr/share/doc/fortunes-ru/copyright):\n"
        "// every fortune but each tenth, which the detection benchmark holds out.\n"
        "#include \"detection_model.h\"\n\n"
        "const DetectionModel RussianModel = {\n"
        "    // reading: each byte's code in each code page (detection_model.h)\n"
        "    {\n",
        corpusDescription.c_str());
    for (int page = 0; page < CodePageCount; ++page) {
        std::fprintf(file, "        {   // %s\n", PageNames[page]);
        WriteRow(file, model.reading[page], 256, "            ");
        std::fprintf(file, "        },\n");
    }
    std::fprintf(file, "    },\n    // markCost: what a non-letter from 0x80 up costs beyond its symbol\n    {\n");
    for (int page = 0; page < CodePageCount; ++page) {
        std::fprintf(file, "        {   // %s\n", PageNames[page]);
        WriteRow(file, model.markCost[page], 128, "            ");
        std::fprintf(file, "        },\n");
    }
    std::fprintf(file, "    },\n    // pairCost[previous][next], in eighths of a nat\n    {\n");
    for (int previous = 0; previous < SymbolCount; ++previous) {
        std::fprintf(file, "        {   // after %s\n", SymbolNames[previous]);
        WriteRow(file, model.pairCost[previous], SymbolCount, "            ");
        std::fprintf(file, "        },\n");
    }
    const char* const states[CaseStateCount] = {"a sentence's end", "a line's end", "another gap",
                                                "a capital", "a small letter"};
    std::fprintf(file, "    },\n    // caseCost[state][letter][small, capital]\n    {\n");
    for (int state = 0; state < CaseStateCount; ++state) {
        std::fprintf(file, "        {   // after %s\n", states[state]);
        for (int letter = 0; letter < LetterCount; ++letter) {
            std::fprintf(file, "%s{%d, %d},%s", letter % 8 == 0 ? "            " : " ", model.caseCost[state][letter][0],
                         model.caseCost[state][letter][1], letter % 8 == 7 || letter == LetterCount - 1 ? "\n" : "");
        }
        std::fprintf(file, "        },\n");
    }
    std::fprintf(file,
        "    },\n"
        "    %d,  // confidenceScale\n"
        "    %d,  // minimumLetters\n"
        "    %d,  // highestMeanLetterCost\n"
        "};\n",
        model.confidenceScale, model.minimumLetters, model.highestMeanLetterCost);
    return std::fclose(file) == 0;
}
