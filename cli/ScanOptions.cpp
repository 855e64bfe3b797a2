// Command-line parsing for lumbrel-scan: GNU-style long options ("--name
// VALUE" or "--name=VALUE"), short options with a separate value, "--" to end
// the options, and one optional start folder.
#include "cli/ScanOptions.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>

namespace cli {
namespace {

bool ParseFormat(const std::string& text, OutputFormat& format)
{
    const grid::formats::FormatInfo* info = grid::formats::FindFormat(text);
    if (info == nullptr) return false;
    format = info->format;
    return true;
}

// Checks the combination of options once all of them are known.
std::string CheckConsistency(const ScanOptions& options, bool countGiven, bool foldersGiven, bool columnsGiven)
{
    if (countGiven && foldersGiven) return "--count and --folders cannot be combined";
    if (columnsGiven && options.mode != ScanMode::Files)
        return "--columns chooses the columns of file rows; it cannot be combined with --count or --folders";
    if (const grid::formats::FormatInfo& format = grid::formats::InfoOf(options.format);
        format.fileRowsOnly && options.mode != ScanMode::Files)
        return "--format " + std::string(format.key) +
               " writes file rows only; it cannot be combined with --count or --folders";
    if (options.csvRaw && options.format != OutputFormat::Csv) return "--csv-raw applies to --format csv only";
    if (options.mode == ScanMode::Folders && (!options.minSize.IsZero() || !options.maxSize.IsZero()))
        return "--min-size and --max-size apply to files, not to --folders";
    if (!options.minSize.IsZero() && !options.maxSize.IsZero() && options.minSize > options.maxSize)
        return "--min-size is larger than --max-size";
    return {};
}

} // namespace

std::string ScanOptions::EffectiveIncludeSpec() const
{
    if (includeSpec) return *includeSpec;
    return mode == ScanMode::Folders ? kDefaultFolderFilter : kDefaultFileFilter;
}

std::optional<platform::FixedDecimal> ParseByteCount(const std::string& text)
{
    std::size_t digitsEnd = 0;
    while (digitsEnd < text.size() && text[digitsEnd] >= '0' && text[digitsEnd] <= '9') ++digitsEnd;
    if (digitsEnd == 0) return std::nullopt;

    std::uint64_t multiplier = 1;
    const std::string_view suffix = std::string_view(text).substr(digitsEnd);
    if (suffix == "K" || suffix == "k") multiplier = 1ULL << 10;
    else if (suffix == "M" || suffix == "m") multiplier = 1ULL << 20;
    else if (suffix == "G" || suffix == "g") multiplier = 1ULL << 30;
    else if (!suffix.empty()) return std::nullopt;

    constexpr std::uint64_t kLargest = std::numeric_limits<std::int64_t>::max();
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < digitsEnd; ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (kLargest - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (value > kLargest / multiplier) return std::nullopt;
    return platform::FixedDecimal::FromWhole(static_cast<std::int64_t>(value * multiplier));
}

ParseOutcome ParseCommandLine(const std::vector<std::string>& arguments)
{
    ParseOutcome outcome;
    ScanOptions& options = outcome.options;
    bool countGiven = false;
    bool foldersGiven = false;
    bool columnsGiven = false;
    bool allColumns = false;
    bool pathGiven = false;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];

        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            if (pathGiven) {
                outcome.usageError = "only one start folder may be given (extra: '" + argument + "')";
                return outcome;
            }
            options.startPath = argument;
            pathGiven = true;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }

        // Split "--name=value"; short options always take their value from the
        // next argument.
        std::string name = argument;
        std::optional<std::string> inlineValue;
        if (argument.rfind("--", 0) == 0) {
            const std::size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                name = argument.substr(0, equals);
                inlineValue = argument.substr(equals + 1);
            }
        }

        auto takeValue = [&](std::string& value) -> bool {
            if (inlineValue) {
                value = *inlineValue;
                return true;
            }
            if (i + 1 >= arguments.size()) {
                outcome.usageError = "option '" + name + "' needs a value";
                return false;
            }
            value = arguments[++i];
            return true;
        };
        auto noValueAllowed = [&]() -> bool {
            if (!inlineValue) return true;
            outcome.usageError = "option '" + name + "' takes no value";
            return false;
        };

        std::string value;
        if (name == "-f" || name == "--filter") {
            if (!takeValue(value)) return outcome;
            options.includeSpec = value;
        } else if (name == "-x" || name == "--exclude") {
            if (!takeValue(value)) return outcome;
            options.excludeSpec = value;
        } else if (name == "--min-size" || name == "--max-size") {
            if (!takeValue(value)) return outcome;
            const std::optional<platform::FixedDecimal> size = ParseByteCount(value);
            if (!size) {
                outcome.usageError = "invalid byte count for " + name + ": '" + value + "'";
                return outcome;
            }
            // The engine reads a limit of 0 as "no limit"; a maximum of 0
            // would silently let every size through.
            if (name == "--max-size" && size->IsZero()) {
                outcome.usageError = "--max-size must be at least 1";
                return outcome;
            }
            (name == "--min-size" ? options.minSize : options.maxSize) = *size;
        } else if (name == "--format") {
            if (!takeValue(value)) return outcome;
            if (!ParseFormat(value, options.format)) {
                outcome.usageError = "unknown format '" + value + "' (use " + grid::formats::FormatKeyList() + ")";
                return outcome;
            }
        } else if (name == "--columns") {
            if (!takeValue(value)) return outcome;
            allColumns = value == "all";
            if (allColumns) {
                options.columns = EveryFact();
            } else {
                FactListParse chosen = SelectFacts(value);
                if (!chosen.error.empty()) {
                    outcome.usageError = "--columns: " + chosen.error + " (--list-columns lists them)";
                    return outcome;
                }
                options.columns = std::move(chosen.facts);
            }
            columnsGiven = true;
        } else if (name == "--list-columns") {
            options.mode = ScanMode::ListColumns;
            return outcome;
        } else if (name == "-o" || name == "--output") {
            if (!takeValue(value)) return outcome;
            if (value.empty()) {
                outcome.usageError = "the output file name is empty";
                return outcome;
            }
            options.outputPath = value;
        } else if (name == "--no-subfolders") {
            if (!noValueAllowed()) return outcome;
            options.recurse = false;
        } else if (name == "--count") {
            if (!noValueAllowed()) return outcome;
            countGiven = true;
        } else if (name == "--folders") {
            if (!noValueAllowed()) return outcome;
            foldersGiven = true;
        } else if (name == "--hidden") {
            if (!noValueAllowed()) return outcome;
            options.hidden = true;
        } else if (name == "--csv-raw") {
            if (!noValueAllowed()) return outcome;
            options.csvRaw = true;
        } else if (name == "-q" || name == "--quiet") {
            if (!noValueAllowed()) return outcome;
            options.quiet = true;
        } else if (name == "-h" || name == "--help") {
            options.mode = ScanMode::Help;
            return outcome;
        } else if (name == "--version") {
            options.mode = ScanMode::Version;
            return outcome;
        } else {
            outcome.usageError = "unknown option '" + name + "'";
            return outcome;
        }
    }

    if (countGiven) options.mode = ScanMode::Count;
    if (foldersGiven) options.mode = ScanMode::Folders;
    if (options.format != OutputFormat::Json) {
        // JSON-only columns: 'all' leaves them out, naming one is an error.
        const auto jsonOnly = std::find_if(options.columns.begin(), options.columns.end(),
                                           [](const ResultFact* fact) { return fact->column.jsonDocument; });
        if (jsonOnly != options.columns.end() && !allColumns) {
            outcome.usageError = "--columns: '" + std::string((*jsonOnly)->column.key) + "' needs --format json";
            return outcome;
        }
        std::erase_if(options.columns, [](const ResultFact* fact) { return fact->column.jsonDocument; });
    }
    outcome.usageError = CheckConsistency(options, countGiven, foldersGiven, columnsGiven);
    return outcome;
}

std::string UsageText()
{
    return "Usage: lumbrel-scan [options] [PATH]\n"
           "Lists the files below PATH (default: the current folder) whose names match\n"
           "the filter, with the fixed version, size, date and the description, product\n"
           "and company of their version resource; rows come in walk order.\n"
           "\n"
           "  -f, --filter SPEC     name patterns separated by ';' (default \"*.exe;*.ocx;*.dll\";\n"
           "                        with --folders the default is \"*\")\n"
           "  -x, --exclude SPEC    names to reject; a folder whose path, ending in '/',\n"
           "                        equals one entry of SPEC (ignoring case) is not entered\n"
           "      --no-subfolders   search PATH only\n"
           "      --hidden          also enter folders whose names begin with '.'\n"
           "      --min-size BYTES  skip smaller files (suffix K, M or G: binary multiples)\n"
           "      --max-size BYTES  skip larger files (at least 1)\n"
           "      --format FORMAT   tsv (default), csv, json (JSON Lines) or xls\n"
           "      --csv-raw         csv: write values exactly, without the formula guard\n"
           "      --columns LIST    the columns of each row: keys separated by ',', in\n"
           "                        that order, or 'all' (default: filename,version,size,\n"
           "                        date,path,desc,product,company); json-only columns\n"
           "                        are left out of 'all' in the other formats\n"
           "      --list-columns    print every column's key and caption\n"
           "  -o, --output FILE     write to FILE instead of standard output; FILE is\n"
           "                        replaced only once the whole output is written\n"
           "      --count           print the number of matching files and their byte total\n"
           "      --folders         print the matching folders, one per line\n"
           "  -q, --quiet           no progress line on the terminal\n"
           "  -h, --help            show this text\n"
           "      --version         show the program version\n"
           "\n"
           "tsv keeps the exact bytes of every value except four, written as escapes:\n"
           "backslash as \\\\, tab as \\t, LF as \\n and CR as \\r; undoing them gives the\n"
           "exact name, so every listed file can be opened again. csv quotes as RFC 4180\n"
           "and ends lines with CR LF; a value that begins with =, +, -, @, tab or CR gets\n"
           "a leading apostrophe (') so that a spreadsheet shows it as text instead of\n"
           "running it as a formula (--csv-raw leaves it out). json is always valid\n"
           "UTF-8: bytes of a name that are not UTF-8 become U+FFFD there. When standard\n"
           "output is a terminal, control characters and bytes that are not UTF-8 are\n"
           "shown as \\xNN; files and pipes get the bytes above. xls cells hold at most\n"
           "32,767 characters: longer values are cut, with a warning. xls needs -o FILE\n"
           "or an output that is not a terminal.\n"
           "\n"
           "Folders that cannot be read are passed over with a message on standard error.\n"
           "\n"
           "Exit status: 0 success (also when nothing matched), 1 start folder missing or\n"
           "unreadable, 2 usage error, 3 output could not be written, 4 finished, but\n"
           "some folders could not be read.\n";
}

} // namespace cli
