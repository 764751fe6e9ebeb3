#include "command_line.h"

#include <vector>

#include "code_page_names.h"
#include "code_page_tables.h"

namespace {

bool IsOption(const std::string& argument)
{
    // A lone "-" is a file name: standard input or output.
    return argument.size() > 1 && argument[0] == '-';
}

// Takes the value of -f or -t, either attached ("-fkoi8-r") or as the next
// argument, and advances index past it.
bool ParseCodePageOption(int argc, char** argv, int& index, int& page, std::string& problem)
{
    const std::string option = argv[index];
    std::string name = option.substr(2);
    if (name.empty()) {
        if (index + 1 >= argc) {
            problem = "option " + option + " needs a code page";
            return false;
        }
        name = argv[++index];
    }
    page = CodePageFromName(name);
    if (page < 0) {
        problem = "unknown code page '" + name + "'";
        return false;
    }
    return true;
}

} // namespace

CommandLineRequest ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& problem)
{
    line = CommandLine();
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (optionsEnded || !IsOption(argument)) {
            paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;  // lets a file name start with '-'
        } else if (argument == "--help") {
            return RequestHelp;
        } else if (argument == "-n") {
            line.convertNewlines = true;
        } else if (argument[1] == 'f' || argument[1] == 't') {
            int& page = argument[1] == 'f' ? line.source : line.destination;
            if (!ParseCodePageOption(argc, argv, index, page, problem))
                return RequestInvalid;
        } else {
            problem = "unknown option '" + argument + "'";
            return RequestInvalid;
        }
    }

    if (line.source < 0) {
        problem = "missing -f SRC";
        return RequestInvalid;
    }
    if (line.destination < 0) {
        problem = "missing -t DST";
        return RequestInvalid;
    }
    if (paths.size() > 2) {
        problem = "too many file names";
        return RequestInvalid;
    }
    if (paths.size() > 0)
        line.inputPath = paths[0];
    if (paths.size() > 1)
        line.outputPath = paths[1];
    return RequestConversion;
}

void PrintUsage(std::FILE* stream)
{
    std::fputs("Usage: tarvoconv -f SRC -t DST [-n] [INPUT [OUTPUT]]\n"
               "Converts Cyrillic text from code page SRC to code page DST.\n"
               "\n"
               "  -f SRC   code page of INPUT\n"
               "  -t DST   code page of OUTPUT\n"
               "  -n       convert line ends too: LF for KOI8-R, CR LF for the others\n"
               "  --help   print this help and exit\n"
               "\n"
               "Code pages, by number or by name (any case):\n",
               stream);
    for (int page = 0; page < CodePageCount; ++page) {
        const char* const* names = CodePageNames(page);
        std::fprintf(stream, "  %d  %-12s", page, names[0]);
        for (const char* const* alias = names + 1; *alias != nullptr; ++alias)
            std::fprintf(stream, "%s%s", alias == names + 1 ? "" : ", ", *alias);
        std::fputc('\n', stream);
    }
    std::fputs("\n"
               "INPUT and OUTPUT default to standard input and output; \"-\" names them too.\n"
               "OUTPUT may be INPUT. OUTPUT is replaced only once it is completely written,\n"
               "so a failed run leaves it as it was.\n",
               stream);
}
