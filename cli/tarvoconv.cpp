#include "tarvoconv.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "encoding_detection.h"
#include "encoding_names.h"
#include "file_identity.h"
#include "output_file.h"
#include "stream_conversion.h"
#include "stream_converter.h"
#include "tarvo_version.h"
#include "unicode_conversion.h"
#include "unicode_stream.h"

namespace {

const int ExitConverted = 0;
const int ExitFileFailed = 1;
const int ExitBadArguments = 2;

bool NamesStandardStream(const std::string& path)
{
    return path.empty() || path == "-";
}

int ReportFailure(std::FILE* err, const std::string& name, const std::string& reason)
{
    std::fprintf(err, "tarvoconv: %s: %s\n", name.c_str(), reason.c_str());
    return ExitFileFailed;
}

std::string ErrnoText(int error)
{
    return std::strerror(error != 0 ? error : EIO);
}

std::string Hex(unsigned long value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*lX", digits, value);
    return text;
}

std::string RejectionText(const TextRejection& rejection, int source, int destination)
{
    const std::string sourceName = EncodingNames(source)[0];
    std::string text = "line " + std::to_string(rejection.line) + ", byte offset " +
                       std::to_string(rejection.offset) + ": ";
    switch (rejection.stop) {
    case UnicodeInvalid:  // only UTF-16 and UTF-8 input can be invalid
        return text + (source == EncodingUtf16 ? "a lone UTF-16 surrogate" : "invalid UTF-8");
    case UnicodeTruncated:
        return text + "the input ends inside a character";
    case UnicodeUnmappable:
        return text + "U+" + Hex(rejection.character, 4) + " cannot be written in " + EncodingNames(destination)[0] +
               " (-c writes a stand-in)";
    default:
        return text + "byte 0x" + Hex(rejection.character, 2) + " is no character in " + sourceName +
               " (-c writes '?')";
    }
}

// Between two code pages the engine converts as the Windows program does;
// anything with Unicode goes through the Unicode conversion.
bool UsesUnicode(const CommandLine& line)
{
    return IsUnicodeEncoding(line.source) || IsUnicodeEncoding(line.destination);
}

void SelectConversion(const CommandLine& line)
{
    if (UsesUnicode(line)) {
        SelectUnicodeConversion(line.source, line.destination, line.convertNewlines, line.substitute);
    } else {
        BuildByteTables();
        SelectConversionOf(0, line.source, line.destination, line.convertNewlines);
    }
}

// With -f auto, settles the conversion of one input from its first bytes,
// which stay in head for the conversion; else as the command line says.
// False when there is no telling, or no reading.
bool ChooseConversion(const CommandLine& line, std::FILE* input, std::vector<unsigned char>& head,
                      CommandLine& chosen, std::string& problem)
{
    chosen = line;
    if (line.source == AutoEncoding) {
        if (!ReadHead(input, head)) {
            problem = ErrnoText(errno);
            return false;
        }
        const EncodingGuess found = DetectEncoding(head.data(), head.size());
        if (found.encoding < 0) {
            problem = NoDecisionText;
            return false;
        }
        chosen.source = found.encoding;
    }
    // Text found to be in the destination code page already is copied as
    // it is: converted to itself, its typographic quotes and dashes would
    // fold into one of each, and KOI8-R would gain CRs.
    if (line.source == AutoEncoding && chosen.source == chosen.destination &&
        !IsUnicodeEncoding(chosen.source)) {
        BuildByteTables();
        SelectConversionOf(0, -1, -1, 0);  // a page outside the five leaves every byte as it is
        chosen.source = chosen.destination = -1;
        return true;
    }
    SelectConversion(chosen);
    return true;
}

// Converts one input into one output, each a file or a standard stream.
int ConvertFile(const CommandLine& line, const std::string& inputPath, const std::string& outputPath,
                std::FILE* in, std::FILE* out, std::FILE* err)
{
    const bool inputIsFile = !NamesStandardStream(inputPath);
    const bool outputIsFile = !NamesStandardStream(outputPath);
    const std::string inputName = inputIsFile ? inputPath : "standard input";
    const std::string outputName = outputIsFile ? outputPath : "standard output";

    // The input is opened first: a missing input must not leave an output
    // file behind, not even an empty one.
    std::FILE* input = in;
    if (inputIsFile) {
        errno = 0;
        input = std::fopen(inputPath.c_str(), "rb");
        if (input == nullptr)
            return ReportFailure(err, inputName, ErrnoText(errno));
    }

    // Settled before the output exists: an input that cannot be told
    // leaves nothing behind.
    std::vector<unsigned char> head;
    CommandLine chosen;
    std::string problem;
    if (!ChooseConversion(line, input, head, chosen, problem)) {
        if (inputIsFile)
            std::fclose(input);
        return ReportFailure(err, inputName, problem);
    }

    std::FILE* output = out;
    PendingOutput pending;
    if (outputIsFile) {
        std::string reason;
        if (!BeginOutputFile(outputPath, pending, reason)) {
            if (inputIsFile)
                std::fclose(input);
            return ReportFailure(err, outputName, reason);
        }
        output = pending.stream;
    }

    TextRejection rejection = {};
    InputStream source = {input, head.data(), head.size()};
    const StreamResult result =
        UsesUnicode(chosen) ? ConvertUnicodeStream(source, output, rejection) : ConvertStream(source, output);
    // Closed before the output replaces anything: Windows refuses to replace
    // a file that is still open, which is what converting in place would do.
    if (inputIsFile)
        std::fclose(input);

    if (result.outcome != StreamConverted) {
        if (outputIsFile)
            DiscardOutputFile(pending);
        if (result.outcome == StreamTextRejected)
            return ReportFailure(err, inputName, RejectionText(rejection, chosen.source, chosen.destination));
        const bool readFailed = result.outcome == StreamReadFailed;
        return ReportFailure(err, readFailed ? inputName : outputName, ErrnoText(result.error));
    }

    if (outputIsFile) {
        std::string reason;
        if (!CommitOutputFile(pending, reason))
            return ReportFailure(err, outputName, reason);
    } else {
        // A full disk or device behind standard output shows only here.
        errno = 0;
        if (std::fflush(out) != 0)
            return ReportFailure(err, outputName, ErrnoText(errno));
    }
    return ExitConverted;
}

// Converts every file into itself, going on after a failure; each failure
// names its file. A file named twice, also through a link, is converted
// once: a second pass would convert the converted text again. Whether two
// names are one file is settled before any is replaced.
int ConvertInPlace(const CommandLine& line, std::FILE* err)
{
    std::vector<FileIdentity> identities;
    for (const std::string& file : line.files)
        identities.push_back(IdentityOf(file));
    int exitCode = ExitConverted;
    for (size_t n = 0; n < line.files.size(); ++n) {
        bool named = false;
        for (size_t earlier = 0; earlier < n; ++earlier)
            named = named || SameFile(identities[n], identities[earlier]);
        if (!named && ConvertFile(line, line.files[n], line.files[n], nullptr, nullptr, err) != ExitConverted)
            exitCode = ExitFileFailed;
    }
    return exitCode;
}

// --detect: a line for each input, "NAME: ENCODING (NN%)". 0 when every
// input got a decision.
int DetectEncodings(const CommandLine& line, std::FILE* in, std::FILE* out, std::FILE* err)
{
    const std::vector<std::string> names = line.files.empty() ? std::vector<std::string>{"-"} : line.files;
    int exitCode = ExitConverted;
    for (const std::string& name : names) {
        const bool isFile = !NamesStandardStream(name);
        const std::string shown = isFile ? name : "(standard input)";
        errno = 0;
        std::FILE* input = isFile ? std::fopen(name.c_str(), "rb") : in;
        std::vector<unsigned char> head;
        const bool read = input != nullptr && ReadHead(input, head);
        const int error = errno;
        if (isFile && input != nullptr)
            std::fclose(input);
        if (!read) {
            exitCode = ReportFailure(err, isFile ? name : "standard input", ErrnoText(error));
            continue;
        }
        const EncodingGuess found = DetectEncoding(head.data(), head.size());
        if (found.encoding < 0) {
            std::fprintf(out, "%s: unknown\n", shown.c_str());
            exitCode = ExitFileFailed;
        } else {
            std::fprintf(out, "%s: %s (%d%%)\n", shown.c_str(), EncodingNames(found.encoding)[0], found.confidence);
        }
    }
    errno = 0;
    if (std::fflush(out) != 0)
        return ReportFailure(err, "standard output", ErrnoText(errno));
    return exitCode;
}

// The end of --help, --version and --list: what they printed must get out.
int FinishPrinting(std::FILE* out, std::FILE* err)
{
    errno = 0;
    if (std::fflush(out) != 0)
        return ReportFailure(err, "standard output", ErrnoText(errno));
    return ExitConverted;
}

} // namespace

int RunTarvoconv(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err)
{
    CommandLine line;
    std::string problem;
    switch (ParseCommandLine(argc, argv, line, problem)) {
    case RequestHelp:
        PrintUsage(out);
        return FinishPrinting(out, err);
    case RequestVersion:
        std::fprintf(out, "tarvoconv (Tarvo) %s\n", TARVO_VERSION);
        return FinishPrinting(out, err);
    case RequestList:
        PrintEncodings(out);
        return FinishPrinting(out, err);
    case RequestInvalid:
        std::fprintf(err, "tarvoconv: %s\n", problem.c_str());
        PrintUsage(err);
        return ExitBadArguments;
    case RequestDetect:
        return DetectEncodings(line, in, out, err);
    case RequestConversion:
        break;
    }
    if (line.inPlace)
        return ConvertInPlace(line, err);
    const std::string inputPath = line.files.size() > 0 ? line.files[0] : "";
    const std::string outputPath = line.files.size() > 1 ? line.files[1] : "";
    return ConvertFile(line, inputPath, outputPath, in, out, err);
}
