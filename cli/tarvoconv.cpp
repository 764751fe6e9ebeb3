#include "tarvoconv.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "command_line.h"
#include "output_file.h"
#include "stream_conversion.h"
#include "stream_converter.h"

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

int Convert(const CommandLine& line, std::FILE* in, std::FILE* out, std::FILE* err)
{
    BuildByteTables();
    SelectConversionOf(0, line.source, line.destination, line.convertNewlines);

    const bool inputIsFile = !NamesStandardStream(line.inputPath);
    const bool outputIsFile = !NamesStandardStream(line.outputPath);
    const std::string inputName = inputIsFile ? line.inputPath : "standard input";
    const std::string outputName = outputIsFile ? line.outputPath : "standard output";

    // The input is opened first: a missing input must not leave an output
    // file behind, not even an empty one.
    std::FILE* input = in;
    if (inputIsFile) {
        errno = 0;
        input = std::fopen(line.inputPath.c_str(), "rb");
        if (input == nullptr)
            return ReportFailure(err, inputName, ErrnoText(errno));
    }

    std::FILE* output = out;
    PendingOutput pending;
    if (outputIsFile) {
        std::string reason;
        if (!BeginOutputFile(line.outputPath, pending, reason)) {
            if (inputIsFile)
                std::fclose(input);
            return ReportFailure(err, outputName, reason);
        }
        output = pending.stream;
    }

    const StreamResult result = ConvertStream(input, output);
    // Closed before the output replaces anything: Windows refuses to replace
    // a file that is still open, which is what converting in place would do.
    if (inputIsFile)
        std::fclose(input);

    if (result.outcome != StreamConverted) {
        if (outputIsFile)
            DiscardOutputFile(pending);
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

} // namespace

int RunTarvoconv(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err)
{
    CommandLine line;
    std::string problem;
    switch (ParseCommandLine(argc, argv, line, problem)) {
    case RequestHelp:
        PrintUsage(out);
        errno = 0;
        if (std::fflush(out) != 0)
            return ReportFailure(err, "standard output", ErrnoText(errno));
        return ExitConverted;
    case RequestInvalid:
        std::fprintf(err, "tarvoconv: %s\n", problem.c_str());
        PrintUsage(err);
        return ExitBadArguments;
    case RequestConversion:
        break;
    }
    return Convert(line, in, out, err);
}
