#include "command_line.h"

#include "encoding_names.h"

namespace {

enum OptionId { OptionFrom, OptionTo, OptionNewlines, OptionSubstitute, OptionInPlace, OptionDetect, OptionHelp,
                OptionVersion, OptionList };

// Every option, by its short and long name; the parser knows no other.
struct Option {
    char shortName;        // 0: none
    const char* longName;  // nullptr: none
    bool takesValue;
    OptionId id;
};

const Option Options[] = {
    {'f', "from", true, OptionFrom},
    {'t', "to", true, OptionTo},
    {'n', "newlines", false, OptionNewlines},
    {'c', nullptr, false, OptionSubstitute},
    {0, "in-place", false, OptionInPlace},
    {0, "detect", false, OptionDetect},
    {0, "help", false, OptionHelp},
    {0, "version", false, OptionVersion},
    {0, "list", false, OptionList},
};

bool IsAuto(const std::string& value)
{
    const char auto_[] = "auto";
    if (value.size() != 4)
        return false;
    for (int k = 0; k < 4; ++k)
        if ((value[k] | 0x20) != auto_[k])
            return false;
    return true;
}

const Option* ShortOption(char name)
{
    for (const Option& option : Options)
        if (option.shortName == name)
            return &option;
    return nullptr;
}

const Option* LongOption(const std::string& name)
{
    for (const Option& option : Options)
        if (option.longName != nullptr && name == option.longName)
            return &option;
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
            if (optionsEnded || argument.size() < 2 || argument[0] != '-')
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
        const std::string name = text.substr(0, equals);
        const Option* option = LongOption(name);
        if (option == nullptr)
            return Invalid("unknown option '--" + name + "'");
        if (!option->takesValue && equals != std::string::npos)
            return Invalid("option --" + name + " takes no value");
        if (!option->takesValue)
            return Take(*option, "");
        if (equals != std::string::npos)
            return Take(*option, text.substr(equals + 1));
        return TakeNextValue(*option, "--" + name);
    }

    CommandLineRequest TakeShorts(const std::string& argument)
    {
        for (std::string::size_type at = 1; at < argument.size(); ++at) {
            const Option* option = ShortOption(argument[at]);
            if (option == nullptr)
                return Invalid("unknown option '-" + argument.substr(at, 1) + "'");
            CommandLineRequest request;
            if (!option->takesValue)
                request = Take(*option, "");
            else if (at + 1 < argument.size())
                return Take(*option, argument.substr(at + 1));
            else
                request = TakeNextValue(*option, std::string("-") + option->shortName);
            if (request != RequestConversion)
                return request;
        }
        return RequestConversion;
    }

    CommandLineRequest TakeNextValue(const Option& option, const std::string& spelled)
    {
        if (index_ + 1 >= argc_)
            return Invalid("option " + spelled + " needs an encoding");
        return Take(option, argv_[++index_]);
    }

    CommandLineRequest Take(const Option& option, const std::string& value)
    {
        switch (option.id) {
        case OptionFrom: return IsAuto(value) ? TakeDetected() : TakeEncoding(value, line_.source);
        case OptionTo: return TakeEncoding(value, line_.destination);
        case OptionNewlines: line_.convertNewlines = true; break;
        case OptionSubstitute: line_.substitute = true; break;
        case OptionInPlace: line_.inPlace = true; break;
        case OptionDetect: line_.detect = true; break;
        case OptionHelp: return RequestHelp;
        case OptionVersion: return RequestVersion;
        case OptionList: return RequestList;
        }
        return RequestConversion;
    }

    CommandLineRequest TakeEncoding(const std::string& name, int& encoding)
    {
        encoding = EncodingFromName(name);
        if (encoding < 0)
            return Invalid("unknown encoding '" + name + "'");
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
            if (line_.source != -1 || line_.destination != -1 || line_.inPlace || line_.convertNewlines ||
                line_.substitute)
                return Invalid("--detect takes file names only");
            return RequestDetect;
        }
        if (line_.source == -1)
            return Invalid("missing -f SRC");
        if (line_.destination < 0)
            return Invalid("missing -t DST");
        if (!line_.inPlace) {
            if (line_.files.size() > 2)
                return Invalid("too many file names");
            return RequestConversion;
        }
        if (line_.files.empty())
            return Invalid("--in-place needs the files to convert");
        for (const std::string& file : line_.files)
            if (file == "-")
                return Invalid("--in-place converts files, not standard input");
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
    std::fputs("Usage: tarvoconv -f SRC -t DST [-n] [-c] [INPUT [OUTPUT]]\n"
               "       tarvoconv -f SRC -t DST [-n] [-c] --in-place FILE...\n"
               "       tarvoconv --detect [FILE...]\n"
               "       tarvoconv --list | --help | --version\n"
               "Converts Cyrillic text from one code page or Unicode encoding to another.\n"
               "\n"
               "  -f, --from=SRC   encoding of the input; auto: detect it from the first\n"
               "                   64 KiB (text already in DST is copied unchanged)\n"
               "  -t, --to=DST     encoding of the output\n"
               "  -n, --newlines   convert line ends too: LF for KOI8-R and UTF-8,\n"
               "                   CR LF for the other code pages and UTF-16\n"
               "  -c               write a stand-in, mostly '?', for a character that DST\n"
               "                   cannot hold, instead of failing\n"
               "  --in-place       convert each FILE into itself; go on after a failure\n"
               "  --detect         print the encoding of each FILE (or standard input)\n"
               "                   and how sure the guess is\n"
               "  --list           list the encodings and exit\n"
               "  --help           print this help and exit\n"
               "  --version        print the version and exit\n"
               "\n"
               "Encodings, code pages also by number, names in any case:\n",
               stream);
    PrintEncodings(stream);
    std::fputs("\n"
               "INPUT and OUTPUT default to standard input and output; \"-\" names them too.\n"
               "OUTPUT may be INPUT. OUTPUT is replaced only once it is completely written,\n"
               "so a failed run leaves it as it was. Exit status: 0 converted, 1 a file\n"
               "could not be converted, 2 wrong arguments.\n",
               stream);
}
