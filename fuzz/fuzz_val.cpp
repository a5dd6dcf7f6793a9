// Val on arbitrary bytes. It never crashes and raises nothing but Overflow; what it returns is
// finite. Blanks, tabs and line feeds are skipped wherever they stand, so leaving them out cannot
// change the result; a character that cannot continue a number ends it, so appending one cannot
// either. Every exponent letter (E, e, D, d) means the same. A text of digits alone, and one of
// hexadecimal or octal digits behind its prefix, reads as the C library reads it. Str of a whole
// number below 1E+15 reads back as the same number.

#include "fuzz_input.h"
#include "rules/numrules.h"
#include "rules/runtime_error.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The value, or nothing when Val raised Overflow; any other outcome crashes.
std::optional<double> val(std::string_view text)
{
    try {
        const double v = rt::Val(text);
        fuzz::check(std::isfinite(v), "Val returned a value that is not finite", v);
        return v;
    } catch (const rt::RuntimeError &e) {
        fuzz::check(e.code() == rt::ErrorCode::Overflow, "Val raised an error other than Overflow", e.number());
        return std::nullopt;
    }
}

bool sameOutcome(const std::optional<double> &a, const std::optional<double> &b)
{
    return a.has_value() == b.has_value() && (!a || fuzz::same(*a, *b));
}

void checkRoundTrip(double whole)
{
    fuzz::check(std::fabs(whole) < 1e15 && whole == std::trunc(whole), "harness: not whole", whole);
    const std::string text = rt::Str(whole);
    const auto back = val(text);
    fuzz::check(back.has_value() && *back == whole, "Val(Str(v)) differs from a whole v", whole);
    const auto backC = val(rt::CStr(whole));
    fuzz::check(backC.has_value() && *backC == whole, "Val(CStr(v)) differs from a whole v", whole);
}

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The digits behind "&H" or "&O" (or "&" alone, octal) when the text is nothing else, and their radix.
bool radixDigits(const std::string &text, std::string &digits, int &radix)
{
    if (text.size() < 2 || text[0] != '&')
        return false;
    std::size_t from = 1;
    radix = 8;
    if (text[1] == 'h' || text[1] == 'H')
        radix = 16, from = 2;
    else if (text[1] == 'o' || text[1] == 'O')
        from = 2;
    digits = text.substr(from);
    const char *allowed = radix == 16 ? "0123456789abcdefABCDEF" : "01234567";
    // At most 13 hexadecimal or 17 octal digits stay below 2^53, where the reference is exact.
    return !digits.empty() && digits.size() <= (radix == 16 ? 13u : 17u)
        && digits.find_first_not_of(allowed) == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto result = val(text);

    std::string stripped;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            stripped += c;
    fuzz::check(sameOutcome(result, val(stripped)), "leaving out blanks changed Val", result.value_or(0));
    fuzz::check(sameOutcome(result, val(std::string(text) + 'x')), "a trailing 'x' changed Val", result.value_or(0));

    std::string digits;
    int radix = 0;
    if (radixDigits(stripped, digits, radix))
        fuzz::check(result && *result == static_cast<double>(std::strtoull(digits.c_str(), nullptr, radix)),
                    "a hexadecimal or octal number read wrong", result.value_or(0));

    // Without a radix prefix every exponent letter means the same, and elsewhere each ends the
    // number alike.
    if (text.find('&') == std::string_view::npos) {
        std::string lower(text);
        for (char &c : lower)
            if (c == 'd' || c == 'D' || c == 'E')
                c = 'e';
        fuzz::check(sameOutcome(result, val(lower)), "the exponent letters D, d, E and e differ", result.value_or(0));
    }

    if (allDigits(text)) {
        const double expected = std::strtod(std::string(text).c_str(), nullptr);
        if (std::isinf(expected))
            fuzz::check(!result, "a digit string beyond the double range did not overflow");
        else
            fuzz::check(result && *result == expected, "a digit string read wrong", expected);
    }

    if (result && std::fabs(*result) < 1e15)
        checkRoundTrip(std::trunc(*result));

    // A whole number from the raw bytes as well, so that long digit strings are covered.
    fuzz::Input in(data, size);
    const auto bits = static_cast<std::int64_t>(in.u64());
    checkRoundTrip(static_cast<double>(bits % 1'000'000'000'000'000));
    return 0;
}
