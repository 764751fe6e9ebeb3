#include "pixel_source.h"

#include "palette.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr int MaxCellSide = 256;  // what an icon directory entry can say
constexpr int MaxCells = 64;

struct ParseState {
    std::string SourceName;
    int LineNumber = 0;

    bool HaveKind = false;
    bool HaveCellSize = false;
    bool HaveCellCount = false;
    bool HaveHotSpot = false;
    int HotSpotLine = 0;
    int CellWidth = 0;
    int CellHeight = 0;
    int CellCount = 1;

    PixelImage Image;
    std::vector<bool> CellDrawn;
    int CurrentCell = -1;  // -1 until the first cell line
    int CurrentCellLine = 0;
    int RowsInCell = 0;
};

[[noreturn]] void Fail(const ParseState& state, int line, const std::string& message)
{
    throw SourceError(state.SourceName + ":" + std::to_string(line) + ": " + message);
}

[[noreturn]] void Fail(const ParseState& state, const std::string& message)
{
    Fail(state, state.LineNumber, message);
}

std::vector<std::string> SplitWords(const std::string& line)
{
    std::istringstream words(line);
    std::vector<std::string> result;
    std::string word;
    while (words >> word)
        result.push_back(word);
    return result;
}

int ParseNumber(const ParseState& state, const std::string& word, int low, int high, const char* what)
{
    const bool digitsOnly = !word.empty() && word.size() <= 6 &&
        word.find_first_not_of("0123456789") == std::string::npos;
    const int value = digitsOnly ? std::stoi(word) : -1;
    if (value < low || value > high) {
        Fail(state, std::string(what) + " must be a number from " + std::to_string(low) +
                        " to " + std::to_string(high) + ", not '" + word + "'");
    }
    return value;
}

void ExpectWordCount(const ParseState& state, const std::vector<std::string>& words, std::size_t count,
                     const char* usage)
{
    if (words.size() != count)
        Fail(state, std::string("expected '") + usage + "'");
}

void ExpectHeaderPlace(ParseState& state, const std::string& keyword, bool& seen)
{
    if (keyword != "image" && !state.HaveKind)
        Fail(state, "the first line must say 'image bitmap', 'image icon' or 'image cursor'");
    if (state.CurrentCell >= 0)
        Fail(state, "'" + keyword + "' belongs before the first cell");
    if (seen)
        Fail(state, "'" + keyword + "' given twice");
    seen = true;
}

void ReadKind(ParseState& state, const std::vector<std::string>& words)
{
    ExpectHeaderPlace(state, words[0], state.HaveKind);
    ExpectWordCount(state, words, 2, "image bitmap|icon|cursor");
    if (words[1] == "bitmap")
        state.Image.Kind = ImageKind::Bitmap;
    else if (words[1] == "icon")
        state.Image.Kind = ImageKind::Icon;
    else if (words[1] == "cursor")
        state.Image.Kind = ImageKind::Cursor;
    else
        Fail(state, "unknown image kind '" + words[1] + "'; use bitmap, icon or cursor");
}

void ReadCellSize(ParseState& state, const std::vector<std::string>& words)
{
    ExpectHeaderPlace(state, words[0], state.HaveCellSize);
    ExpectWordCount(state, words, 3, "cell-size WIDTH HEIGHT");
    state.CellWidth = ParseNumber(state, words[1], 1, MaxCellSide, "the cell width");
    state.CellHeight = ParseNumber(state, words[2], 1, MaxCellSide, "the cell height");
}

void ReadCellCount(ParseState& state, const std::vector<std::string>& words)
{
    ExpectHeaderPlace(state, words[0], state.HaveCellCount);
    ExpectWordCount(state, words, 2, "cells COUNT");
    if (state.Image.Kind != ImageKind::Bitmap)
        Fail(state, "only a bitmap is a strip of cells; an icon or cursor is one picture");
    state.CellCount = ParseNumber(state, words[1], 1, MaxCells, "the cell count");
}

void ReadHotSpot(ParseState& state, const std::vector<std::string>& words)
{
    ExpectHeaderPlace(state, words[0], state.HaveHotSpot);
    ExpectWordCount(state, words, 3, "hot-spot X Y");
    if (state.Image.Kind != ImageKind::Cursor)
        Fail(state, "only a cursor has a hot spot");
    state.Image.HotSpotX = ParseNumber(state, words[1], 0, MaxCellSide - 1, "the hot spot x");
    state.Image.HotSpotY = ParseNumber(state, words[2], 0, MaxCellSide - 1, "the hot spot y");
    state.HotSpotLine = state.LineNumber;
}

// The header is complete once the first cell starts: lay out the strip,
// every pixel background until a cell draws over it.
void StartImage(ParseState& state)
{
    if (!state.HaveKind)
        Fail(state, "the first line must say 'image bitmap', 'image icon' or 'image cursor'");
    if (!state.HaveCellSize)
        Fail(state, "'cell-size WIDTH HEIGHT' must come before the first cell");
    PixelImage& image = state.Image;
    if (image.Kind == ImageKind::Cursor) {
        if (!state.HaveHotSpot)
            Fail(state, "a cursor needs 'hot-spot X Y' before its cell");
        if (image.HotSpotX >= state.CellWidth || image.HotSpotY >= state.CellHeight)
            Fail(state, state.HotSpotLine, "the hot spot lies outside the cursor");
    }
    image.Width = state.CellWidth * state.CellCount;
    image.Height = state.CellHeight;
    const int background = image.Kind == ImageKind::Bitmap ? SilverIndex : TransparentPixel;
    image.Pixels.assign(static_cast<std::size_t>(image.Width) * image.Height, background);
    state.CellDrawn.assign(static_cast<std::size_t>(state.CellCount), false);
}

void FinishCell(const ParseState& state)
{
    if (state.CurrentCell >= 0 && state.RowsInCell != state.CellHeight) {
        Fail(state, state.CurrentCellLine,
             "cell " + std::to_string(state.CurrentCell) + " has " + std::to_string(state.RowsInCell) +
                 " rows; cells are " + std::to_string(state.CellHeight) + " high");
    }
}

void ReadCellStart(ParseState& state, const std::vector<std::string>& words)
{
    if (words.size() < 2)
        Fail(state, "expected 'cell NUMBER [title]'");
    if (state.CurrentCell < 0)
        StartImage(state);
    FinishCell(state);
    const int cell = ParseNumber(state, words[1], 0, state.CellCount - 1, "the cell number");
    if (state.CellDrawn[static_cast<std::size_t>(cell)])
        Fail(state, "cell " + words[1] + " is drawn twice");
    state.CellDrawn[static_cast<std::size_t>(cell)] = true;
    state.CurrentCell = cell;
    state.CurrentCellLine = state.LineNumber;
    state.RowsInCell = 0;
}

int PixelFor(const ParseState& state, char letter, int column)
{
    const ImageKind kind = state.Image.Kind;
    if (letter == '.')
        return kind == ImageKind::Bitmap ? SilverIndex : TransparentPixel;
    const int index = PaletteIndexOfLetter(letter);
    const std::string where = " in column " + std::to_string(column + 1);
    if (index < 0)
        Fail(state, std::string("unknown pixel character '") + letter + "'" + where);
    if (kind == ImageKind::Cursor && index != BlackIndex && index != WhiteIndex)
        Fail(state, std::string("a cursor is black and white: '") + letter + "'" + where +
                        " is neither 'k', 'w' nor '.'");
    return index;
}

void ReadRow(ParseState& state, const std::string& row)
{
    if (state.CurrentCell < 0)
        Fail(state, "pixel rows must follow a 'cell NUMBER' line");
    if (state.RowsInCell == state.CellHeight) {
        Fail(state, "cell " + std::to_string(state.CurrentCell) + " already has its " +
                        std::to_string(state.CellHeight) + " rows");
    }
    if (row.size() != static_cast<std::size_t>(state.CellWidth)) {
        Fail(state, "row is " + std::to_string(row.size()) + " pixels wide; cells are " +
                        std::to_string(state.CellWidth) + " wide");
    }
    PixelImage& image = state.Image;
    const std::size_t rowStart = static_cast<std::size_t>(state.RowsInCell) * image.Width +
        static_cast<std::size_t>(state.CurrentCell) * state.CellWidth;
    for (int x = 0; x < state.CellWidth; ++x)
        image.Pixels[rowStart + static_cast<std::size_t>(x)] = PixelFor(state, row[static_cast<std::size_t>(x)], x);
    ++state.RowsInCell;
}

std::string WithoutTrailingSpace(const std::string& line)
{
    std::size_t end = line.size();
    while (end > 0 && std::isspace(static_cast<unsigned char>(line[end - 1])))
        --end;
    return line.substr(0, end);
}

// Pixel rows have no spaces, so a line with a space, or a lone keyword,
// is a directive.
bool IsDirective(const std::string& line, const std::vector<std::string>& words)
{
    if (line.find_first_of(" \t") != std::string::npos)
        return true;
    static const char* const keywords[] = {"image", "cell-size", "cells", "hot-spot", "cell"};
    for (const char* keyword : keywords) {
        if (words[0] == keyword)
            return true;
    }
    return false;
}

void ReadDirective(ParseState& state, const std::vector<std::string>& words)
{
    const std::string& keyword = words[0];
    if (keyword == "image")
        ReadKind(state, words);
    else if (keyword == "cell-size")
        ReadCellSize(state, words);
    else if (keyword == "cells")
        ReadCellCount(state, words);
    else if (keyword == "hot-spot")
        ReadHotSpot(state, words);
    else if (keyword == "cell")
        ReadCellStart(state, words);
    else
        Fail(state, "unknown directive '" + keyword + "'");
}

}  // namespace

PixelImage ParsePixelSource(std::istream& in, const std::string& sourceName)
{
    ParseState state;
    state.SourceName = sourceName;
    std::string rawLine;
    while (std::getline(in, rawLine)) {
        ++state.LineNumber;
        const std::string line = WithoutTrailingSpace(rawLine);
        const std::vector<std::string> words = SplitWords(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        if (IsDirective(line, words))
            ReadDirective(state, words);
        else
            ReadRow(state, line);
    }
    if (state.CurrentCell < 0)
        Fail(state, "no cell drawn");
    FinishCell(state);
    return state.Image;
}

PixelImage ReadPixelSourceFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SourceError(path + ": cannot open");
    return ParsePixelSource(in, path);
}
