// Reads the written files back byte by byte, the way the resource compiler
// and LoadImage will, and feeds the tool the faults an artist makes.
#include "image_files.h"
#include "pixel_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

PixelImage Parse(const std::string& text)
{
    std::istringstream in(text);
    return ParsePixelSource(in, "art.txt");
}

unsigned U16At(const Bytes& b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8;
}

std::uint32_t U32At(const Bytes& b, std::size_t at)
{
    return U16At(b, at) | static_cast<std::uint32_t>(U16At(b, at + 2)) << 16;
}

Bytes Slice(const Bytes& b, std::size_t at, std::size_t count)
{
    EXPECT_LE(at + count, b.size());
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + count));
}

// Offsets inside BITMAPINFOHEADER.
enum : std::size_t { InfoWidth = 4, InfoHeight = 8, InfoPlanes = 12, InfoBits = 14, InfoCompression = 16,
                     InfoImageSize = 20, InfoColoursUsed = 32, InfoSize = 40 };

// A strip of two 3 x 2 cells: 3 pixels make a 12-bit row, padded to 4 bytes.
const char* const TwoCellStrip =
    "# test strip\n"
    "image bitmap\n"
    "cell-size 3 2\n"
    "cells 2\n"
    "cell 1 second\n"
    "kRw\n"
    "bY.\n";

TEST(BitmapFile, HeadersDescribeTheWholeStrip)
{
    const Bytes file = EncodeBitmapFile(Parse(TwoCellStrip));
    ASSERT_GE(file.size(), 14u + InfoSize);
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    EXPECT_EQ(file.size(), U32At(file, 2));
    EXPECT_EQ(0u, U32At(file, 6));
    EXPECT_EQ(14u + 40u + 16u * 4u, U32At(file, 10));

    const std::size_t info = 14;
    EXPECT_EQ(40u, U32At(file, info));
    EXPECT_EQ(6u, U32At(file, info + InfoWidth));
    EXPECT_EQ(2u, U32At(file, info + InfoHeight));  // positive: bottom-up
    EXPECT_EQ(1u, U16At(file, info + InfoPlanes));
    EXPECT_EQ(4u, U16At(file, info + InfoBits));
    EXPECT_EQ(0u, U32At(file, info + InfoCompression));
    EXPECT_EQ(2u * 4u, U32At(file, info + InfoImageSize));
    EXPECT_EQ(16u, U32At(file, info + InfoColoursUsed));
    EXPECT_EQ(U32At(file, 10) + 8u, file.size());
}

TEST(BitmapFile, PaletteIsVgaOrderStoredBlueGreenRed)
{
    const Bytes file = EncodeBitmapFile(Parse(TwoCellStrip));
    const std::size_t palette = 14 + InfoSize;
    // The toolbar colour mapping looks for these four exact entries.
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Slice(file, palette + 0 * 4, 4));
    EXPECT_EQ((Bytes{192, 192, 192, 0}), Slice(file, palette + 7 * 4, 4));
    EXPECT_EQ((Bytes{128, 128, 128, 0}), Slice(file, palette + 8 * 4, 4));
    EXPECT_EQ((Bytes{255, 255, 255, 0}), Slice(file, palette + 15 * 4, 4));
    // Blue first, red third.
    EXPECT_EQ((Bytes{0, 0, 128, 0}), Slice(file, palette + 1 * 4, 4));
    EXPECT_EQ((Bytes{255, 0, 0, 0}), Slice(file, palette + 12 * 4, 4));
    EXPECT_EQ((Bytes{0, 255, 255, 0}), Slice(file, palette + 11 * 4, 4));
}

TEST(BitmapFile, RowsRunBottomUpLeftPixelInHighNibble)
{
    const Bytes file = EncodeBitmapFile(Parse(TwoCellStrip));
    const Bytes pixels = Slice(file, U32At(file, 10), 8);
    // Undrawn cell 0 is button face (7); '.' in a bitmap is button face too.
    // Bottom row "777 bY." then top row "777 kRw", each padded to 4 bytes.
    EXPECT_EQ((Bytes{0x77, 0x74, 0xB7, 0x00, 0x77, 0x70, 0x9F, 0x00}), pixels);
}

// 5 x 2 icon: colour rows of 3 bytes padded to 4, mask rows of 5 bits padded to 4 bytes.
const char* const SmallIcon =
    "image icon\n"
    "cell-size 5 2\n"
    "cell 0\n"
    ".kgw.\n"
    "BBBBB\n";

TEST(IconFile, DirectoryPointsAtOneFourBitImage)
{
    const Bytes file = EncodeIconFile(Parse(SmallIcon));
    EXPECT_EQ(0u, U16At(file, 0));
    EXPECT_EQ(1u, U16At(file, 2));  // icon
    EXPECT_EQ(1u, U16At(file, 4));
    EXPECT_EQ(5u, file.at(6));
    EXPECT_EQ(2u, file.at(7));
    EXPECT_EQ(16u, file.at(8));
    EXPECT_EQ(0u, file.at(9));
    EXPECT_EQ(1u, U16At(file, 10));  // planes
    EXPECT_EQ(4u, U16At(file, 12));  // bits per pixel
    EXPECT_EQ(file.size() - 22, U32At(file, 14));
    EXPECT_EQ(22u, U32At(file, 18));

    EXPECT_EQ(40u, U32At(file, 22));
    EXPECT_EQ(5u, U32At(file, 22 + InfoWidth));
    EXPECT_EQ(4u, U32At(file, 22 + InfoHeight));  // colour rows and mask rows
    EXPECT_EQ(4u, U16At(file, 22 + InfoBits));
    EXPECT_EQ(2u * 4u + 2u * 4u, U32At(file, 22 + InfoImageSize));
    EXPECT_EQ(22u + 40u + 64u + 16u, file.size());
}

TEST(IconFile, TransparentPixelsAreBlackUnderASetMaskBit)
{
    const Bytes file = EncodeIconFile(Parse(SmallIcon));
    const std::size_t colourRows = 22 + 40 + 64;
    EXPECT_EQ((Bytes{0xCC, 0xCC, 0xC0, 0x00, 0x00, 0x8F, 0x00, 0x00}), Slice(file, colourRows, 8));
    // Bottom row fully opaque; top row transparent at x = 0 and x = 4.
    EXPECT_EQ((Bytes{0x00, 0x00, 0x00, 0x00, 0x88, 0x00, 0x00, 0x00}), Slice(file, colourRows + 8, 8));
}

TEST(IconFile, SideOf256IsWrittenAsZeroInTheDirectory)
{
    const std::string row(256, 'k');
    const Bytes file = EncodeIconFile(Parse("image icon\ncell-size 256 1\ncell 0\n" + row + "\n"));
    EXPECT_EQ(0u, file.at(6));
    EXPECT_EQ(1u, file.at(7));
    EXPECT_EQ(256u, U32At(file, 22 + InfoWidth));
}

const char* const SmallCursor =
    "image cursor\n"
    "cell-size 9 2\n"
    "hot-spot 7 1\n"
    "cell 0\n"
    "kw.kw.kw.\n"
    "wwwwwwwwk\n";

TEST(CursorFile, DirectoryCarriesTheHotSpot)
{
    const Bytes file = EncodeCursorFile(Parse(SmallCursor));
    EXPECT_EQ(2u, U16At(file, 2));  // cursor
    EXPECT_EQ(9u, file.at(6));
    EXPECT_EQ(2u, file.at(7));
    EXPECT_EQ(7u, U16At(file, 10));
    EXPECT_EQ(1u, U16At(file, 12));
    EXPECT_EQ(file.size() - 22, U32At(file, 14));
    EXPECT_EQ(4u, U32At(file, 22 + InfoHeight));
    EXPECT_EQ(1u, U16At(file, 22 + InfoBits));
    EXPECT_EQ(22u + 40u + 8u + 4u * 4u, file.size());
}

TEST(CursorFile, WhiteIsTheSetColourBitAndTransparentTheSetMaskBit)
{
    const Bytes file = EncodeCursorFile(Parse(SmallCursor));
    const std::size_t palette = 22 + 40;
    EXPECT_EQ((Bytes{0, 0, 0, 0, 255, 255, 255, 0}), Slice(file, palette, 8));
    // 9 pixels: two bytes a row, padded to four. Bottom row first.
    EXPECT_EQ((Bytes{0xFF, 0x00, 0, 0, 0x49, 0x00, 0, 0}), Slice(file, palette + 8, 8));
    EXPECT_EQ((Bytes{0x00, 0x00, 0, 0, 0x24, 0x80, 0, 0}), Slice(file, palette + 16, 8));
}

struct MalformedSource {
    const char* Text;
    const char* Message;  // expected inside the error, line number included
};

TEST(PixelSource, RejectsMalformedSourcesNamingTheLine)
{
    const MalformedSource cases[] = {
        {"image bitmap\ncell-size 3 1\ncell 0\nkkkk\n", "art.txt:4: row is 4 pixels wide; cells are 3 wide"},
        {"image bitmap\ncell-size 3 1\ncell 0\nkxk\n", "art.txt:4: unknown pixel character 'x' in column 2"},
        {"image bitmap\ncell-size 3 2\ncell 0\nkkk\ncell 1\n", "art.txt:3: cell 0 has 1 rows"},
        {"image bitmap\ncell-size 1 1\ncell 0\nk\nk\n", "art.txt:5: cell 0 already has its 1 rows"},
        {"image bitmap\ncell-size 1 1\ncells 2\ncell 2\n", "art.txt:4: the cell number must be a number from 0 to 1"},
        {"image bitmap\ncell-size 1 1\ncells 2\ncell 1\nk\ncell 1\nk\n", "art.txt:6: cell 1 is drawn twice"},
        {"cell-size 1 1\n", "art.txt:1: the first line must say"},
        {"image bitmap\ncell 0\n", "art.txt:2: 'cell-size WIDTH HEIGHT' must come before"},
        {"image bitmap\ncell-size 1 1\nk\n", "art.txt:3: pixel rows must follow"},
        {"image bitmap\ncell-size 1 1\ncell 0\nk\ncells 3\n", "art.txt:5: 'cells' belongs before"},
        {"image bitmap\ncell-size 0 1\n", "art.txt:2: the cell width must be a number from 1 to 256, not '0'"},
        {"image bitmap\nsize 16 16\n", "art.txt:2: unknown directive 'size'"},
        {"image sketch\n", "art.txt:1: unknown image kind 'sketch'"},
        {"image icon\ncells 2\n", "art.txt:2: only a bitmap is a strip"},
        {"image icon\nhot-spot 1 1\n", "art.txt:2: only a cursor has a hot spot"},
        {"image cursor\ncell-size 2 1\ncell 0\n", "art.txt:3: a cursor needs 'hot-spot X Y'"},
        {"image cursor\nhot-spot 2 0\ncell-size 2 1\ncell 0\n", "art.txt:2: the hot spot lies outside"},
        {"image cursor\ncell-size 2 1\nhot-spot 0 0\ncell 0\nkY\n", "art.txt:5: a cursor is black and white: 'Y' in column 2"},
        {"image bitmap\ncell-size 1 1\n", "art.txt:2: no cell drawn"},
    };
    for (const MalformedSource& c : cases) {
        SCOPED_TRACE(c.Text);
        try {
            Parse(c.Text);
            ADD_FAILURE() << "accepted";
        } catch (const SourceError& error) {
            EXPECT_NE(std::string::npos, std::string(error.what()).find(c.Message)) << error.what();
        }
    }
}

TEST(PixelSource, IgnoresCommentsBlankLinesAndWindowsLineEnds)
{
    const PixelImage image = Parse("# legend\r\n\r\nimage icon\r\ncell-size 2 1\r\n  # note\r\ncell 0 a dot\r\nw.\r\n");
    ASSERT_EQ(2u, image.Pixels.size());
    EXPECT_EQ(15, image.At(0, 0));
    EXPECT_EQ(-1, image.At(1, 0));
}

std::string ScratchPath(const std::string& name)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return testing::TempDir() + "pixelart_" + test->name() + "_" + name;
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path)
{
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Exit status of the tool, its error output in *errors.
int RunTool(const std::string& source, const std::string& output, std::string* errors)
{
    const std::string errorPath = ScratchPath("stderr.txt");
    const std::string command = std::string("\"") + PIXELART_EXE + "\" \"" + source + "\" \"" + output +
        "\" 2> \"" + errorPath + "\"";
    const int status = std::system(command.c_str());
    *errors = ReadText(errorPath);
    return status;
}

TEST(PixelartTool, WritesTheBytesOfTheDescribedFile)
{
    const std::string source = ScratchPath("cursor.txt");
    const std::string output = ScratchPath("cursor.cur");
    WriteText(source, SmallCursor);
    std::remove(output.c_str());
    std::string errors;
    ASSERT_EQ(0, RunTool(source, output, &errors)) << errors;
    EXPECT_EQ(EncodeCursorFile(Parse(SmallCursor)), ReadBytes(output));
}

TEST(PixelartTool, FailsOnAMalformedSourceWithoutLeavingAnOutput)
{
    const std::string source = ScratchPath("bad.txt");
    const std::string output = ScratchPath("bad.bmp");
    WriteText(source, "image bitmap\ncell-size 2 1\ncell 0\nk?\n");
    std::remove(output.c_str());
    std::string errors;
    EXPECT_NE(0, RunTool(source, output, &errors));
    EXPECT_NE(std::string::npos, errors.find(source + ":4: unknown pixel character '?' in column 2")) << errors;
    EXPECT_FALSE(std::ifstream(output).good());
}

TEST(PixelartTool, RefusesAnOutputNameOfAnotherKind)
{
    const std::string source = ScratchPath("icon.txt");
    const std::string output = ScratchPath("icon.bmp");
    WriteText(source, SmallIcon);
    std::remove(output.c_str());
    std::string errors;
    EXPECT_NE(0, RunTool(source, output, &errors));
    EXPECT_NE(std::string::npos, errors.find("describes a .ico file")) << errors;
    EXPECT_FALSE(std::ifstream(output).good());
}

PixelImage ShippedArt(const char* name)
{
    return ReadPixelSourceFile(std::string(TARVO_ART_DIR) + "/" + name);
}

// Every pixel of cell (cellWidth wide) equals value.
bool CellIsAll(const PixelImage& image, int cell, int cellWidth, int value)
{
    for (int y = 0; y < image.Height; ++y) {
        for (int x = cell * cellWidth; x < (cell + 1) * cellWidth; ++x) {
            if (image.At(x, y) != value)
                return false;
        }
    }
    return true;
}

TEST(ShippedArt, ToolbarStripHasTheCommandPicturesOnly)
{
    const PixelImage strip = ShippedArt("toolbar16.txt");
    EXPECT_EQ(ImageKind::Bitmap, strip.Kind);
    ASSERT_EQ(320, strip.Width);
    ASSERT_EQ(15, strip.Height);
    for (int cell = 0; cell < 20; ++cell) {
        const bool used = cell == 0 || cell == 1 || cell == 5 || cell == 6 || cell == 8 || cell == 9;
        EXPECT_EQ(!used, CellIsAll(strip, cell, 16, 7)) << "cell " << cell;
    }
}

TEST(ShippedArt, CodePageStripHasFivePagesTwoArrowsAndABlank)
{
    const PixelImage strip = ShippedArt("codepages32.txt");
    EXPECT_EQ(ImageKind::Bitmap, strip.Kind);
    ASSERT_EQ(256, strip.Width);
    ASSERT_EQ(32, strip.Height);
    for (int cell = 0; cell < 7; ++cell)
        EXPECT_FALSE(CellIsAll(strip, cell, 32, 7)) << "cell " << cell;
    EXPECT_TRUE(CellIsAll(strip, 7, 32, 7));
    // The two arrows are mirror images, so the exchange button flips cleanly.
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(strip.At(5 * 32 + x, y), strip.At(6 * 32 + 31 - x, y)) << x << "," << y;
    }
}

TEST(ShippedArt, IconsAreOpaqueInsideAndTransparentAtTheCorners)
{
    const PixelImage large = ShippedArt("tarvo.txt");
    const PixelImage small = ShippedArt("tarvo16.txt");
    EXPECT_EQ(ImageKind::Icon, large.Kind);
    EXPECT_EQ(ImageKind::Icon, small.Kind);
    ASSERT_EQ(32, large.Width);
    ASSERT_EQ(32, large.Height);
    ASSERT_EQ(16, small.Width);
    ASSERT_EQ(16, small.Height);
    for (const PixelImage* icon : {&large, &small}) {
        const int last = icon->Width - 1;
        EXPECT_EQ(-1, icon->At(0, last));
        EXPECT_EQ(-1, icon->At(last, 0));
        EXPECT_NE(-1, icon->At(icon->Width / 2, icon->Height / 2));
    }
}

TEST(ShippedArt, HelpCursorTipIsTheHotSpot)
{
    const PixelImage cursor = ShippedArt("help.txt");
    EXPECT_EQ(ImageKind::Cursor, cursor.Kind);
    ASSERT_EQ(32, cursor.Width);
    ASSERT_EQ(32, cursor.Height);
    EXPECT_EQ(4, cursor.HotSpotX);
    EXPECT_EQ(4, cursor.HotSpotY);
    // The tip: opaque at the hot spot, nothing above or left of it.
    EXPECT_NE(-1, cursor.At(4, 4));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(-1, cursor.At(4, i));
        EXPECT_EQ(-1, cursor.At(i, 4));
    }
}

}  // namespace
