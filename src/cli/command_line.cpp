#include "cli/command_line.h"

#include "cli/usage.h"
#include "core/pair_sequence.h"
#include "core/pass.h"
#include "rules/numrules.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace cli {

namespace {

const char *const Program = "summenleiter";
const char *const RangeHint = "Die Zahl n muss gerundet im Bereich von -2147483648 bis 2147483647 liegen.";
const char *const SearchEndHint =
    "Die Suche ist bei 2147483647 angekommen, der größten Zahl, die das Programm untersuchen kann.";

// A fault in the arguments, with its one line of explanation.
struct BadInput {
    std::string message;
};

// Each option under its German name, with the English alias that command lines usually speak.
const std::map<std::string_view, std::string_view> &Names()
{
    static const std::map<std::string_view, std::string_view> names{
        {"liste", "liste"}, {"list", "liste"},  {"suche", "suche"}, {"search", "suche"},  {"von", "von"},
        {"from", "von"},    {"anzahl", "anzahl"}, {"count", "anzahl"}, {"folge", "folge"}, {"sequence", "folge"},
        {"bis", "bis"},     {"to", "bis"},      {"help", "help"},   {"hilfe", "help"},
    };
    return names;
}

std::string quoted(std::string_view text)
{
    return "\u201E" + std::string(text) + "\u201C";
}

// Whether the text is a decimal number and nothing else: a sign, digits with at most one decimal
// point, an exponent. The window reads more (blanks inside, "&H" numbers, trailing words), but
// there a person sees what was read; here it would pass unnoticed.
bool isDecimal(std::string_view t)
{
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        std::size_t exponent = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++exponent;
        if (exponent == 0)
            return false;
    }
    return i == t.size();
}

// The number as the window reads it from the number box, which must hold it rounded in the
// 32-bit range.
double number(std::string_view option, const std::string &text)
{
    if (!isDecimal(text))
        throw BadInput{"--" + std::string(option) + ": " + quoted(text) + " ist keine Zahl."};
    try {
        const double v = rt::Val(text);
        rt::CLng(v);
        return v;
    } catch (const rt::RuntimeError &) {
        throw BadInput{"--" + std::string(option) + " " + text + ": " + RangeHint};
    }
}

std::int64_t wholeNumber(std::string_view option, const std::string &text)
{
    const double v = number(option, text);
    if (v != static_cast<double>(static_cast<std::int64_t>(v)))
        throw BadInput{"--" + std::string(option) + ": " + quoted(text) + " ist keine ganze Zahl."};
    return static_cast<std::int64_t>(v);
}

int pairsWanted(std::string_view option, const std::string &text)
{
    if (text != "1" && text != "2")
        throw BadInput{"--" + std::string(option) + " nimmt 1 oder 2 (halbierbare Sequenzen), nicht " + quoted(text)
                       + "."};
    return text[0] - '0';
}

using Options = std::map<std::string_view, std::string>;

Options parse(const std::vector<std::string> &args)
{
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "-h" || arg == "-?") {
            options["help"];
            continue;
        }
        if (arg.rfind("--", 0) != 0)
            throw BadInput{"unerwartetes Argument " + quoted(arg) + "."};
        const std::size_t equals = arg.find('=');
        const std::string_view given = std::string_view(arg).substr(2, equals == std::string::npos ? arg.npos : equals - 2);
        const auto name = Names().find(given);
        if (name == Names().end())
            throw BadInput{"unbekannte Option " + quoted(arg.substr(0, equals)) + "."};
        if (options.count(name->second))
            throw BadInput{"--" + std::string(name->second) + " steht mehr als einmal da."};
        std::string value;
        if (name->second == "help") {
            if (equals != std::string::npos)
                throw BadInput{"--help nimmt keinen Wert."};
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            throw BadInput{"--" + std::string(given) + " braucht einen Wert."};
        }
        options[name->second] = value;
    }
    return options;
}

// Writes a whole number.
void put(std::string &buffer, std::int64_t v)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, v);
    buffer.append(digits, result.ptr);
}

// Only the options of one command, each of them at most once.
void onlyThese(const Options &options, std::initializer_list<std::string_view> allowed, std::string_view command)
{
    for (const auto &[name, value] : options) {
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end())
            throw BadInput{"--" + std::string(name) + " gehört nicht zu --" + std::string(command) + "."};
    }
}

std::string required(const Options &options, std::string_view name, std::string_view command)
{
    const auto it = options.find(name);
    if (it == options.end())
        throw BadInput{"--" + std::string(command) + " braucht --" + std::string(name) + "."};
    return it->second;
}

int listing(const Options &options, std::ostream &out)
{
    onlyThese(options, {"liste"}, "liste");
    core::AnalysisState state;
    state.n = number("liste", options.at("liste"));
    core::RunPass(state, state.n, {}, {});
    const std::string_view end = core::PlatformLineEnd();
    out << core::WithPlatformLineEnds(state.listing) << end;
    return 0;
}

int search(const Options &options, std::ostream &out, std::ostream &err)
{
    onlyThese(options, {"suche", "von", "anzahl"}, "suche");
    const int wanted = pairsWanted("suche", options.at("suche"));
    std::int64_t from = wholeNumber("von", required(options, "von", "suche"));
    std::int64_t count = 1;
    if (const auto it = options.find("anzahl"); it != options.end()) {
        count = wholeNumber("anzahl", it->second);
        if (count < 1)
            throw BadInput{"--anzahl braucht eine ganze Zahl ab 1."};
    }
    const core::PairEnumerator pairs;
    core::DivisorSieve sieve;
    const std::string_view end = core::PlatformLineEnd();
    std::string line;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::optional<core::Counted> hit = core::NextWithPairs(pairs, sieve, wanted, from);
        if (!hit) {
            out.flush();
            err << Program << ": " << SearchEndHint << '\n';
            return 1;
        }
        line.clear();
        put(line, hit->n);
        line += ' ';
        put(line, hit->runs);
        line += ' ';
        put(line, hit->pairs);
        line += end;
        out << line;
        from = hit->n;
    }
    return 0;
}

int sequence(const Options &options, std::ostream &out)
{
    onlyThese(options, {"folge", "bis"}, "folge");
    const int wanted = pairsWanted("folge", options.at("folge"));
    const std::int64_t last = wholeNumber("bis", required(options, "bis", "folge"));
    if (last < 1)
        return 0;
    const core::PairEnumerator pairs;
    const std::string_view end = core::PlatformLineEnd();
    std::string buffer;
    constexpr std::size_t Chunk = 1 << 16;
    buffer.reserve(Chunk + 64);
    std::int64_t index = 0;
    core::ForEachWithPairs(pairs, wanted, static_cast<std::uint32_t>(last), [&](std::uint32_t n, int) {
        put(buffer, ++index);
        buffer += ' ';
        put(buffer, n);
        buffer += end;
        if (buffer.size() >= Chunk) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    });
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    return 0;
}

} // namespace

bool IsCommandLine(int argc, char **argv)
{
    if (argc < 2)
        return false;
    const std::string_view first = argv[1];
    return first.rfind("--", 0) == 0 || first == "-h" || first == "-?";
}

int Run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    int code = 0;
    try {
        const Options options = parse(args);
        if (options.count("help")) {
            out << Usage(core::PlatformLineEnd());
            return out.flush() ? 0 : 1;
        }
        const int commands = int(options.count("liste") + options.count("suche") + options.count("folge"));
        if (commands != 1)
            throw BadInput{commands == 0 ? "es fehlt --liste, --suche oder --folge (Hilfe: summenleiter --help)."
                                         : "nur eines von --liste, --suche und --folge."};
        if (options.count("liste"))
            code = listing(options, out);
        else if (options.count("suche"))
            code = search(options, out, err);
        else
            code = sequence(options, out);
    } catch (const BadInput &bad) {
        err << Program << ": " << bad.message << '\n';
        return 2;
    } catch (const rt::RuntimeError &e) {
        err << Program << ": " << e.what() << '\n';
        return 1;
    }
    if (!out.flush()) {
        err << Program << ": die Ausgabe ließ sich nicht schreiben.\n";
        return 1;
    }
    return code;
}

int Main(int argc, char **argv)
{
#ifdef _WIN32
    // The line ends are written as they are meant; text mode would turn each LF into CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return Run(args, std::cout, std::cerr);
}

} // namespace cli
