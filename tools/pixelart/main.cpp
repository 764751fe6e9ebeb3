// pixelart SOURCE OUTPUT: turns one art source into the .bmp, .ico or .cur
// that the resource script includes. The build runs it for every picture.
#include "image_files.h"
#include "pixel_source.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace {

bool EndsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() &&
        text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// A half-written picture must not survive: the next build would think it
// up to date.
bool WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out)
            return true;
    }
    std::remove(path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: pixelart SOURCE OUTPUT\n"
                     "  writes OUTPUT (.bmp, .ico or .cur, as SOURCE's 'image' line says)\n";
        return 2;
    }
    const std::string sourcePath = argv[1];
    const std::string outputPath = argv[2];
    try {
        const PixelImage image = ReadPixelSourceFile(sourcePath);
        const std::string extension = FileExtensionFor(image.Kind);
        if (!EndsWith(outputPath, extension)) {
            std::cerr << "pixelart: " << sourcePath << " describes a " << extension
                      << " file, but the output is " << outputPath << "\n";
            return 1;
        }
        if (!WriteWholeFile(outputPath, EncodeImageFile(image))) {
            std::cerr << "pixelart: cannot write " << outputPath << "\n";
            return 1;
        }
    } catch (const SourceError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
