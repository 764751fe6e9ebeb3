#include "command_line.h"

#include <cstring>

#include "console_text.h"
#include "encoding_names.h"
#include "translation.h"
#include "unicode_conversion.h"

const char UsageHint[] = N_("Try 'tarvoconv --help' for more information.\n");

namespace {

enum OptionId { OptionFrom, OptionTo, OptionOutput, OptionNewlines, OptionSubstitute, OptionInPlace, OptionForce,
                OptionDetect, OptionRepair, OptionExplain, OptionVerbose, OptionHelp, OptionVersion, OptionList };

enum OptionValue { NoValue, EncodingValue, FileValue };

// Every option, by its short and long name; the parser knows no other.
struct Option {
    char shortName;        // 0: none
    const char* longName;  // nullptr: none
    OptionValue value;
    OptionId id;
};

const Option Options[] = {
    {'f', "from", EncodingValue, OptionFrom},
    {'t', "to", EncodingValue, OptionTo},
    {'o', "output", FileValue, OptionOutput},
    {'n', "newlines", NoValue, OptionNewlines},
    {'c', nullptr, NoValue, OptionSubstitute},
    {0, "in-place", NoValue, OptionInPlace},
    {0, "force", NoValue, OptionForce},
    {0, "detect", NoValue, OptionDetect},
    {0, "repair", NoValue, OptionRepair},
    {0, "explain", NoValue, OptionExplain},
    {'v', "verbose", NoValue, OptionVerbose},
    {'h', "help", NoValue, OptionHelp},
    {'?', nullptr, NoValue, OptionHelp},
    {0, "version", NoValue, OptionVersion},
    {'l', "list", NoValue, OptionList},
};

// Whether value is word, a word of small letters, in any case.
bool IsWord(const std::string& value, const char* word)
{
    if (value.size() != std::strlen(word))
        return false;
    for (std::string::size_type k = 0; k < value.size(); ++k)
        if ((value[k] | 0x20) != word[k])
            return false;
    return true;
}

// "/?" asks a Windows console program for its help; elsewhere it is a
// folder's name with a wildcard.
bool IsWindowsHelp(const std::string& argument)
{
#ifdef _WIN32
    return argument == "/?";
#else
    (void)argument;
    return false;
#endif
}

const Option* ShortOption(char name)
{
    for (const Option& option : Options)
        if (option.shortName == name)
            return &option;
    return nullptr;
}

// A long option by its name or by the start of just one name, as the
// C library's getopt_long takes them: --in for --in-place, --fr for --from.
const Option* LongOption(const std::string& name, std::string& problem)
{
    const Option* found = nullptr;
    int matches = 0;
    std::string candidates;
    for (const Option& option : Options) {
        if (option.longName == nullptr)
            continue;
        const std::string longName = option.longName;
        if (name == longName)
            return &option;
        if (!name.empty() && longName.compare(0, name.size(), name) == 0) {
            found = &option;
            candidates += (++matches == 1 ? "--" : ", --") + longName;
        }
    }
    if (matches == 1)
        return found;
    problem = matches == 0 ? Format(_("unknown option '--%s'"), name.c_str())
                           : Format(_("option '--%s' is ambiguous (%s)"), name.c_str(), candidates.c_str());
    return nullptr;
}

// Walks the arguments: short options may be bundled ("-nc") and take a
// value attached ("-fkoi8-r") or as the next argument; long ones take it
// after '=' or as the next argument.
class Parser {
public:
    Parser(int argc, char** argv, CommandLine& line, std::string& problem)
        : argc_(argc), argv_(argv), line_(line), problem_(problem)
    {
    }

    CommandLineRequest Parse()
    {
        bool optionsEnded = false;
        for (index_ = 1; index_ < argc_; ++index_) {
            const std::string argument = argv_[index_];
            CommandLineRequest request = RequestConversion;
            if (!optionsEnded && IsWindowsHelp(argument))
                request = RequestHelp;
            else if (optionsEnded || argument.size() < 2 || argument[0] != '-')
                line_.files.push_back(argument);  // a lone "-" names a standard stream
            else if (argument == "--")
                optionsEnded = true;  // lets a file name start with '-'
            else if (argument[1] == '-')
                request = TakeLong(argument.substr(2));
            else
                request = TakeShorts(argument);
            if (request != RequestConversion)
                return request;
        }
        return Check();
    }

private:
    CommandLineRequest TakeLong(const std::string& text)
    {
        const std::string::size_type equals = text.find('=');
        std::string problem;
        const Option* option = LongOption(text.substr(0, equals), problem);
        if (option == nullptr)
            return Invalid(problem);
        const std::string spelled = std::string("--") + option->longName;
        if (option->value == NoValue && equals != std::string::npos)
            return Invalid(Format(_("option %s takes no value"), spelled.c_str()));
        if (option->value == NoValue)
            return Take(*option, "");
        if (equals != std::string::npos)
            return TakeValue(*option, spelled, text.substr(equals + 1));
        return TakeNextValue(*option, spelled);
    }

    CommandLineRequest TakeShorts(const std::string& argument)
    {
        for (std::string::size_type at = 1; at < argument.size(); ++at) {
            const Option* option = ShortOption(argument[at]);
            if (option == nullptr)
                return Invalid(Format(_("unknown option '-%s'"), argument.substr(at, 1).c_str()));
            const std::string spelled = std::string("-") + option->shortName;
            CommandLineRequest request;
            if (option->value == NoValue)
                request = Take(*option, "");
            else if (at + 1 < argument.size())
                return TakeValue(*option, spelled, argument.substr(at + 1));
            else
                request = TakeNextValue(*option, spelled);
            if (request != RequestConversion)
                return request;
        }
        return RequestConversion;
    }

    CommandLineRequest TakeNextValue(const Option& option, const std::string& spelled)
    {
        const char* needs = option.value == FileValue ? _("option %s needs a file name") : _("option %s needs an encoding");
        if (index_ + 1 >= argc_)
            return Invalid(Format(needs, spelled.c_str()));
        return TakeValue(option, spelled, argv_[++index_]);
    }

    CommandLineRequest TakeValue(const Option& option, const std::string& spelled, const std::string& value)
    {
        if (option.value == FileValue && value.empty())
            return Invalid(Format(_("option %s needs a file name"), spelled.c_str()));
        return Take(option, value);
    }

    CommandLineRequest Take(const Option& option, const std::string& value)
    {
        switch (option.id) {
        case OptionFrom:
            return IsWord(value, "auto") ? TakeDetected() : TakeEncoding(value, line_.source, line_.sourceOrder);
        case OptionTo: return TakeDestination(value);
        case OptionOutput: line_.output = value; break;
        case OptionNewlines: line_.convertNewlines = true; break;
        case OptionSubstitute: line_.substitute = true; break;
        case OptionInPlace: line_.inPlace = true; break;
        case OptionForce: line_.force = true; break;
        case OptionDetect: line_.detect = true; break;
        case OptionRepair: line_.repair = true; break;
        case OptionExplain: line_.explain = true; break;
        case OptionVerbose: line_.verbose = true; break;
        case OptionHelp: return RequestHelp;
        case OptionVersion: return RequestVersion;
        case OptionList: return RequestList;
        }
        return RequestConversion;
    }

    CommandLineRequest TakeEncoding(const std::string& name, int& encoding, int& order)
    {
        encoding = EncodingFromName(name, order);
        if (encoding < 0)
            return Invalid(Format(_("unknown encoding '%s'"), name.c_str()));
        return RequestConversion;
    }

    // DST, and after it iconv's suffixes: "cp866//TRANSLIT", "koi8-r//IGNORE",
    // both ("//TRANSLIT//IGNORE", "//TRANSLIT,IGNORE") or none ("cp866//").
    CommandLineRequest TakeDestination(const std::string& value)
    {
        const std::string::size_type slash = value.find('/');
        const CommandLineRequest request =
            TakeEncoding(value.substr(0, slash), line_.destination, line_.destinationOrder);
        if (request != RequestConversion || slash == std::string::npos)
            return request;
        std::string::size_type start = slash;
        for (std::string::size_type at = slash; at <= value.size(); ++at) {
            if (at < value.size() && value[at] != '/' && value[at] != ',')
                continue;
            const std::string word = value.substr(start, at - start);
            start = at + 1;
            if (IsWord(word, "translit"))
                line_.substitute = true;
            else if (IsWord(word, "ignore"))
                line_.omit = true;
            else if (!word.empty())
                return Invalid(Format(_("unknown suffix '%s' in '%s' (TRANSLIT and IGNORE are known)"), word.c_str(),
                                      value.c_str()));
        }
        return RequestConversion;
    }

    CommandLineRequest TakeDetected()
    {
        line_.source = AutoEncoding;
        return RequestConversion;
    }

    CommandLineRequest Check()
    {
        if (line_.detect) {
            if (line_.source != -1 || line_.destination != -1 || line_.inPlace || line_.force ||
                line_.convertNewlines || line_.substitute || line_.omit || !line_.output.empty() || line_.repair ||
                line_.explain || line_.verbose)
                return Invalid(_("--detect takes file names only"));
            return RequestDetect;
        }
        if (line_.repair)
            return CheckRepair();
        if (line_.explain || line_.verbose)
            return Invalid(Format(_("%s goes with --repair"), line_.explain ? "--explain" : "-v"));
        return CheckConversion();
    }

    // Garbled text is most often UTF-8 in and out, the form it travels in
    // today. A repair keeps the line ends: each line is repaired on its own,
    // and -n would change text that needed no repair.
    CommandLineRequest CheckRepair()
    {
        if (line_.convertNewlines)
            return Invalid(_("--repair keeps line ends; -n goes with conversion"));
        if (line_.source == -1)
            line_.source = EncodingUtf8;
        if (line_.destination == -1)
            line_.destination = EncodingUtf8;
        line_.explain = line_.explain || line_.verbose;
        return CheckConversion();
    }

    CommandLineRequest CheckConversion()
    {
        if (line_.source == -1)
            return Invalid(_("missing -f SRC"));
        if (line_.destination < 0)
            return Invalid(_("missing -t DST"));
        if (!line_.inPlace) {
            if (line_.force)
                return Invalid(_("--force goes with --in-place"));
            return RequestConversion;
        }
        if (!line_.output.empty())
            return Invalid(_("--in-place writes each file into itself, not to -o"));
        if (line_.files.empty())
            return Invalid(_("--in-place needs the files to convert"));
        for (const std::string& file : line_.files)
            if (file == "-")
                return Invalid(_("--in-place converts files, not standard input"));
        return RequestConversion;
    }

    CommandLineRequest Invalid(const std::string& problem)
    {
        problem_ = problem;
        return RequestInvalid;
    }

    int argc_;
    char** argv_;
    CommandLine& line_;
    std::string& problem_;
    int index_ = 1;
};

} // namespace

CommandLineRequest ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& problem)
{
    line = CommandLine();
    return Parser(argc, argv, line, problem).Parse();
}

void PrintUsage(std::FILE* stream)
{
    // In pieces that a translation keeps in the same columns; the console
    // shows the translated text whatever its code page.
    WriteText(stream,
              _("Usage: tarvoconv -f SRC -t DST [-n] [-c] [-o OUTPUT] [INPUT...]\n"
                "       tarvoconv -f SRC -t DST [-n] [-c] [--force] --in-place FILE...\n"
                "       tarvoconv --repair [--explain] [-f SRC] [-t DST] [-o OUTPUT] [INPUT...]\n"
                "       tarvoconv --detect [FILE...]\n"
                "       tarvoconv -l | -h | --version\n"
                "Converts Cyrillic text from one code page or Unicode encoding to another,\n"
                "or repairs text that wrong decodings garbled.\n"
                "\n"
                "  -f, --from=SRC     encoding of the input; auto: detect it from the first\n"
                "                     64 KiB (more where those hold little Cyrillic), and\n"
                "                     stop unless sure (text already in DST is copied\n"
                "                     unchanged, pure ASCII read as UTF-8)\n"
                "  -t, --to=DST       encoding of the output; DST//TRANSLIT writes stand-ins\n"
                "                     as -c does, DST//IGNORE leaves out what DST cannot\n"
                "                     hold (and input that is not valid), and exits with 1\n"
                "  -o, --output=FILE  write to FILE rather than standard output\n"
                "  -n, --newlines     convert line ends too: LF for KOI8-R, KOI8-U and UTF-8,\n"
                "                     CR LF for the other code pages and UTF-16\n"
                "  -c                 write an ASCII stand-in ('?' where no other fits) for a\n"
                "                     character that DST cannot hold, instead of failing\n"
                "      --in-place     convert each FILE into itself; go on after a failure\n"
                "      --force        with --in-place, convert also a file with other names\n"
                "                     (hard links), another user's file and a binary one\n"
                "      --repair       undo the wrong decodings that garbled Cyrillic text,\n"
                "                     line by line; SRC and DST are utf-8 unless given; -c,\n"
                "                     --in-place and --force work as when converting\n"
                "      --explain      with --repair, say what was undone in each INPUT and how\n"
                "                     sure that is: on standard error when the text goes to\n"
                "                     standard output, else on standard output\n"
                "  -v, --verbose      with --repair, say it for each repaired line too\n"
                "      --detect       print the encoding of each FILE (or standard input)\n"
                "                     and how sure the guess is\n"
                "  -l, --list         list the encodings and exit\n"));
#ifdef _WIN32
    WriteText(stream, _("  -h, -?, /?, --help print this help and exit\n"));
#else
    WriteText(stream, _("  -h, -?, --help     print this help and exit\n"));
#endif
    WriteText(stream,
              _("      --version      print the version and exit\n"
                "\n"
                "Encodings, code pages also by number, names in any case:\n"));
    PrintEncodings(stream);
    WriteText(stream,
              _("\n"
                "The INPUTs are converted one after another; without one, or for \"-\",\n"
                "standard input. OUTPUT may be an INPUT. A file OUTPUT is replaced only once\n"
                "it is completely written, so a failed run leaves it as it was; a pipe, a\n"
                "device or a terminal is written to as it is. Long options may be shortened\n"
                "to any unambiguous start. Exit status: 0 converted (or repaired, or nothing\n"
                "to repair), 1 a file could not be converted or was left alone, 2 wrong\n"
                "arguments.\n"));
#ifdef _WIN32
    WriteText(stream, _("A name with wildcards (*.txt) stands for the files it matches.\n"));
#endif
}
