#include "tarvoconv.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "binary_text.h"
#include "code_page_detection.h"
#include "command_line.h"
#include "console_text.h"
#include "encoding_detection.h"
#include "encoding_names.h"
#include "file_identity.h"
#include "file_names.h"
#include "in_place_checks.h"
#include "output_file.h"
#include "repair_stream.h"
#include "stream_conversion.h"
#include "stream_converter.h"
#include "tarvo_version.h"
#include "translation.h"
#include "unicode_conversion.h"
#include "unicode_stream.h"
#include "wildcards.h"

namespace {

const int ExitConverted = 0;
const int ExitFileFailed = 1;
const int ExitBadArguments = 2;

bool NamesStandardStream(const std::string& path)
{
    return path.empty() || path == "-";
}

const char BinaryDataReason[] = N_("binary data, not text; skipped (--force converts it)");

int ReportFailure(std::FILE* err, const std::string& name, const std::string& reason)
{
    WriteText(err, "tarvoconv: " + name + ": " + reason + "\n");
    return ExitFileFailed;
}

std::string ErrnoText(int error)
{
    return ErrorText(error != 0 ? error : EIO);
}

std::string Hex(unsigned long value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*lX", digits, value);
    return text;
}

// Where the text could not be converted, and why; with hint, what -c
// makes of it.
std::string RejectionText(const TextRejection& rejection, int source, int destination, bool hint = true)
{
    const std::string sourceName = EncodingNames(source)[0];
    std::string text = Format(_("line %s"), std::to_string(rejection.line).c_str());
    if (rejection.offsetKnown)
        text += Format(_(", byte offset %s"), std::to_string(rejection.offset).c_str());
    text += ": ";
    switch (rejection.stop) {
    case UnicodeInvalid:  // only UTF-16 and UTF-8 input can be invalid
        return text + (source == EncodingUtf16 ? _("a lone UTF-16 surrogate") : _("invalid UTF-8"));
    case UnicodeTruncated:
        return text + _("the input ends inside a character");
    case UnicodeUnmappable:
        return text + Format(_("U+%s cannot be written in %s"), Hex(rejection.character, 4).c_str(),
                             EncodingNames(destination)[0]) +
               (hint ? _(" (-c writes a stand-in)") : "");
    default:
        return text + Format(_("byte 0x%s is no character in %s"), Hex(rejection.character, 2).c_str(),
                             sourceName.c_str()) +
               (hint ? _(" (-c writes '?')") : "");
    }
}

// What -t DST//IGNORE left out of one input.
std::string OmissionText(const TextRejection& first, int source, int destination)
{
    return Format(Plural("%s character left out (//IGNORE), the first on %s",
                         "%s characters left out (//IGNORE), the first on %s", PluralCount(first.omitted)),
                  std::to_string(first.omitted).c_str(), RejectionText(first, source, destination, false).c_str());
}

// Between two of the five code pages the engine converts as the Windows
// program does, byte for byte; anything with Unicode, KOI8-U or cp1125 goes
// through the Unicode conversion, and so does what must leave out the
// characters that the destination cannot hold (but text copied as it is,
// which holds none).
bool UsesUnicode(const CommandLine& line)
{
    return line.source >= CodePageCount || line.destination >= CodePageCount || (line.omit && line.source >= 0);
}

// With -f auto, settles the conversion of one input from its first bytes;
// else as the command line says. False when there is no telling, or no
// telling for sure.
bool ChooseConversion(const CommandLine& line, const std::vector<unsigned char>& head, CommandLine& chosen,
                      std::string& problem)
{
    chosen = line;
    if (line.source != AutoEncoding)
        return true;
    const EncodingGuess found = DetectEncoding(head.data(), head.size());
    if (found.encoding < 0) {
        problem = _(NoDecisionText);
        return false;
    }
    if (found.confidence < ConfidentEnough) {
        problem = UnsureText(found);
        return false;
    }
    chosen.source = found.encoding;
    chosen.sourceOrder = found.bigEndian ? Utf16Big : Utf16ByMark;
    // Text found to be in the destination code page already is copied as
    // it is: converted to itself, KOI8-R would gain CRs. A page outside the
    // five leaves every byte as it is. A repair reads its text all the same.
    if (chosen.source == chosen.destination && !IsUnicodeEncoding(chosen.source) && !line.repair) {
        chosen.source = chosen.destination = -1;
        chosen.convertNewlines = false;
    }
    return true;
}

// One input on its way into the output: open, its first bytes read for a
// look (and converted first), its conversion chosen.
struct Input {
    std::string path;  // empty or "-" for standard input
    std::string name;  // for messages
    std::FILE* file = nullptr;
    std::vector<unsigned char> head;
    size_t added = 0;  // bytes put in front of the head (InputStream)
    BinaryScan* scan = nullptr;  // with --in-place, unless forced: tells data from text
    CommandLine chosen;
    TextRejection omissions = {};  // what -t DST//IGNORE left out of it
};

// UTF-16 in a byte order of its own is read with the mark of that order put
// in front: the converter tells the byte order by the mark alone, and reads
// a second one, the input's own, as the character it is.
void AddByteOrderMark(Input& input)
{
    input.added = 0;
    if (input.chosen.source != EncodingUtf16 || input.chosen.sourceOrder == Utf16ByMark)
        return;
    const bool big = input.chosen.sourceOrder == Utf16Big;
    input.head.insert(input.head.begin(), {static_cast<unsigned char>(big ? 0xFE : 0xFF),
                                           static_cast<unsigned char>(big ? 0xFF : 0xFE)});
    input.added = 2;
}

void CloseInput(Input& input)
{
    if (input.file != nullptr && !NamesStandardStream(input.path))
        std::fclose(input.file);
    input.file = nullptr;
}

// With the encoding named, nothing looks at the text before it is converted:
// its first bytes are read only so that an input that cannot be read fails
// before the output is made, and a page of them will do.
bool ReadFirstBytes(std::FILE* file, std::vector<unsigned char>& head)
{
    head.resize(4096);
    errno = 0;
    head.resize(std::fread(head.data(), 1, head.size(), file));
    return !std::ferror(file);
}

enum InputOpening {
    InputOpened,
    InputNotOpened,  // missing, or not the user's to read: iconv goes on past such a file
    InputNotRead,    // opened, but it could not be read or told
};

// InputNotOpened or InputNotRead with the reason when the input cannot be
// read or told.
InputOpening OpenInput(const CommandLine& line, const std::string& path, std::FILE* in, Input& input,
                       std::string& problem)
{
    CloseInput(input);
    input.path = path;
    input.name = NamesStandardStream(path) ? _("standard input") : path;
    errno = 0;
    input.file = NamesStandardStream(path) ? in : OpenToRead(path);
    if (input.file == nullptr) {
        problem = ErrnoText(errno);
        return InputNotOpened;
    }
    if (!(line.source == AutoEncoding ? ReadHead(input.file, input.head) : ReadFirstBytes(input.file, input.head))) {
        problem = ErrnoText(errno);
        CloseInput(input);
        return InputNotRead;
    }
    if (!ChooseConversion(line, input.head, input.chosen, problem)) {
        CloseInput(input);
        return InputNotRead;
    }
    AddByteOrderMark(input);
    return InputOpened;
}

// Opens the next of the inputs that can be opened, from next on: one that
// cannot is named in a message and passed over, as iconv does, and
// passedOver set. False at the end of the inputs, or with the reason when
// one could be opened but not read or told (which ends the run).
bool OpenNextInput(const CommandLine& line, const std::vector<std::string>& names, size_t& next, std::FILE* in,
                   Input& input, bool& passedOver, std::string& problem, std::FILE* err)
{
    problem.clear();
    while (next < names.size()) {
        switch (OpenInput(line, names[next++], in, input, problem)) {
        case InputOpened: return true;
        case InputNotRead: return false;
        case InputNotOpened:
            ReportFailure(err, input.name, problem);
            problem.clear();
            passedOver = true;
            break;
        }
    }
    return false;
}

// --explain's name for an input, as --detect's.
std::string ReportedName(const Input& input)
{
    return NamesStandardStream(input.path) ? _("(standard input)") : input.path;
}

// Converts (or repairs) the input into output and closes it; says what was
// repaired into explanations, unless that is nullptr. False with what
// failed (the input or the output) and why.
bool ConvertInput(Input& input, std::FILE* output, const std::string& outputName, std::FILE* explanations,
                  bool& outputStarted, std::string& failed, std::string& problem)
{
    const CommandLine& chosen = input.chosen;
    TextRejection rejection = {};
    InputStream source = {input.file, input.head.data(), input.head.size(), input.added, input.scan};
    StreamResult result;
    const UnicodeWriting writing = {chosen.destinationOrder, chosen.omit};
    if (chosen.repair) {
        const RepairJob job = {chosen.source, chosen.destination, writing, chosen.substitute};
        const RepairReport report = {explanations, chosen.verbose, ReportedName(input)};
        result = RepairStream(source, job, output, outputStarted, report, rejection);
    } else if (UsesUnicode(chosen)) {
        UnicodeConverter converter(chosen.source, chosen.destination, chosen.convertNewlines, chosen.substitute);
        result = ConvertUnicodeStream(source, output, converter, writing, outputStarted, rejection);
    } else {
        PageConverter converter = PageConverter::ForOption(chosen.source, chosen.destination, chosen.convertNewlines);
        result = ConvertStream(source, output, converter, chosen.substitute, rejection);
    }
    input.omissions = rejection;
    // Closed before the output replaces anything: Windows refuses to replace
    // a file that is still open, which is what converting in place would do.
    CloseInput(input);
    if (input.scan != nullptr && input.scan->FoundData()) {
        failed = input.name;
        problem = _(BinaryDataReason);
        return false;
    }
    if (result.outcome == StreamConverted)
        return true;
    failed = result.outcome == StreamWriteFailed ? outputName : input.name;
    problem = result.outcome == StreamTextRejected
                  ? RejectionText(rejection, input.chosen.source, input.chosen.destination)
                  : ErrnoText(result.error);
    return false;
}

// Converts the inputs, one after another, into one output, a file or
// standard output; the first is open already, those from next on are
// opened in turn. One that cannot be opened is passed over, as iconv does;
// the first that fails otherwise ends the run, and a file output is then
// left as it was. An input passed over, before (passedOver) or here, or
// text left out, makes the exit status 1 all the same. What --explain says
// goes where the text does not: to standard error when the text goes to
// standard output.
int ConvertInputs(const CommandLine& line, Input& input, const std::vector<std::string>& names, size_t next,
                  bool passedOver, const std::string& outputPath, std::FILE* in, std::FILE* out, std::FILE* err)
{
    const bool outputIsFile = !NamesStandardStream(outputPath);
    const std::string outputName = outputIsFile ? outputPath : _("standard output");
    std::FILE* explanations = !line.explain ? nullptr : outputIsFile ? out : err;
    std::string problem;
    std::FILE* output = out;
    PendingOutput pending;
    if (outputIsFile) {
        if (!BeginOutputFile(outputPath, pending, problem)) {
            CloseInput(input);
            return ReportFailure(err, outputName, problem);
        }
        output = pending.stream;
    }

    bool outputStarted = false;
    bool leftOut = false;  // -t DST//IGNORE left something out
    std::string failed;  // the name of the input or output that failed
    for (;;) {
        const bool converted = ConvertInput(input, output, outputName, explanations, outputStarted, failed, problem);
        if (converted && input.omissions.omitted > 0) {
            ReportFailure(err, input.name, OmissionText(input.omissions, input.chosen.source, line.destination));
            leftOut = true;
        }
        if (!converted)
            break;
        if (!OpenNextInput(line, names, next, in, input, passedOver, problem, err)) {
            if (!problem.empty())
                failed = input.name;
            break;
        }
    }
    if (!failed.empty()) {
        if (outputIsFile)
            DiscardOutputFile(pending);
        return ReportFailure(err, failed, problem);
    }

    if (outputIsFile) {
        if (!CommitOutputFile(pending, problem))
            return ReportFailure(err, outputName, problem);
        errno = 0;
        if (explanations == out && std::fflush(out) != 0)
            return ReportFailure(err, _("standard output"), ErrnoText(errno));
    } else {
        // A full disk or device behind standard output shows only here.
        errno = 0;
        if (std::fflush(out) != 0)
            return ReportFailure(err, outputName, ErrnoText(errno));
    }
    return leftOut || passedOver ? ExitFileFailed : ExitConverted;
}

// The inputs into the output, as iconv and cat take them. The first input
// is opened and looked at before the output exists: inputs that are missing
// or cannot be told must not leave an output file behind, not even an empty
// one.
int Convert(const CommandLine& line, std::FILE* in, std::FILE* out, std::FILE* err)
{
    const std::vector<std::string> inputs = line.files.empty() ? std::vector<std::string>{"-"} : line.files;
    Input input;
    size_t next = 0;
    bool passedOver = false;
    std::string problem;
    if (!OpenNextInput(line, inputs, next, in, input, passedOver, problem, err))
        return problem.empty() ? ExitFileFailed : ReportFailure(err, input.name, problem);
    return ConvertInputs(line, input, inputs, next, passedOver, line.output, in, out, err);
}

// Converts one file into itself, unless it must be left alone: see
// MayConvertInPlace, and a file of data, which a text conversion would
// garble. Data is told from text as the file is read, to its end, so that
// the file stays as it was wherever the data begins.
int ConvertFileInPlace(const CommandLine& line, const std::string& path, std::FILE* out, std::FILE* err)
{
    std::string problem;
    if (!MayConvertInPlace(path, line.force, problem))
        return ReportFailure(err, path, problem);
    Input input;
    if (OpenInput(line, path, nullptr, input, problem) != InputOpened)
        return ReportFailure(err, path, problem);
    BinaryScan scan(input.chosen.source, input.chosen.sourceOrder == Utf16Big);
    if (!line.force)
        input.scan = &scan;
    return ConvertInputs(line, input, {}, 0, false, path, nullptr, out, err);
}

// Converts every file into itself, going on after a failure; each failure
// names its file. A file named twice, also through a link, is converted
// once: a second pass would convert the converted text again. Whether two
// names are one file is settled before any is replaced.
int ConvertInPlace(const CommandLine& line, std::FILE* out, std::FILE* err)
{
    std::vector<FileIdentity> identities;
    for (const std::string& file : line.files)
        identities.push_back(IdentityOf(file));
    int exitCode = ExitConverted;
    for (size_t n = 0; n < line.files.size(); ++n) {
        bool named = false;
        for (size_t earlier = 0; earlier < n; ++earlier)
            named = named || SameFile(identities[n], identities[earlier]);
        if (!named && ConvertFileInPlace(line, line.files[n], out, err) != ExitConverted)
            exitCode = ExitFileFailed;
    }
    return exitCode;
}

// --detect: a line for each input, "NAME: ENCODING (NN%)", "NAME: ascii"
// or "NAME: unknown". 0 when every input got a decision.
int DetectEncodings(const CommandLine& line, std::FILE* in, std::FILE* out, std::FILE* err)
{
    const std::vector<std::string> names = line.files.empty() ? std::vector<std::string>{"-"} : line.files;
    int exitCode = ExitConverted;
    for (const std::string& name : names) {
        const bool isFile = !NamesStandardStream(name);
        const std::string shown = isFile ? name : "(standard input)";
        errno = 0;
        std::FILE* input = isFile ? OpenToRead(name) : in;
        std::vector<unsigned char> head;
        const bool read = input != nullptr && ReadHead(input, head);
        const int error = errno;
        if (isFile && input != nullptr)
            std::fclose(input);
        if (!read) {
            exitCode = ReportFailure(err, isFile ? name : _("standard input"), ErrnoText(error));
            continue;
        }
        const EncodingGuess found = DetectEncoding(head.data(), head.size());
        if (found.encoding < 0) {
            WriteText(out, shown + ": unknown\n");
            exitCode = ExitFileFailed;
        } else if (found.ascii) {
            WriteText(out, shown + ": ascii\n");
        } else {
            const int order = found.bigEndian ? Utf16Big : Utf16ByMark;
            WriteText(out, shown + ": " + EncodingNames(found.encoding, order)[0] + " (" +
                               std::to_string(found.confidence) + "%)\n");
        }
    }
    errno = 0;
    if (std::fflush(out) != 0)
        return ReportFailure(err, _("standard output"), ErrnoText(errno));
    return exitCode;
}

// The end of --help, --version and --list: what they printed must get out.
int FinishPrinting(std::FILE* out, std::FILE* err)
{
    errno = 0;
    if (std::fflush(out) != 0)
        return ReportFailure(err, _("standard output"), ErrnoText(errno));
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
        WriteText(err, "tarvoconv: " + problem + "\n" + _(UsageHint));
        return ExitBadArguments;
    case RequestDetect:
    case RequestConversion:
        break;
    }
    // Only now: a pattern before a wrong option or --help is never looked for.
    line.files = ExpandWildcards(line.files);
    if (line.detect)
        return DetectEncodings(line, in, out, err);
    return line.inPlace ? ConvertInPlace(line, out, err) : Convert(line, in, out, err);
}
