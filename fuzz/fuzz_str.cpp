// Str of arbitrary doubles. The text is a blank or "-" and then a number of at most 15 significant
// digits with no zero before the decimal point and no trailing zero behind it, in exponent form
// only outside 1E-04 <= |v| < 1E+15; NaN and the infinities print as " NaN", " Infinity" and
// "-Infinity". Read back with Val it gives v rounded to 15 significant digits, and a whole v below
// 1E+15 exactly.
//
// Input: byte 0 chooses how the rest becomes a double (see value()).

#include "fuzz_input.h"
#include "rules/numrules.h"
#include "rules/runtime_error.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double value(fuzz::Input &in)
{
    const std::uint8_t mode = in.u8();
    switch (mode % 8) {
    case 0:
        return in.raw();
    case 1:
        return static_cast<double>(static_cast<std::int64_t>(in.u64()) % 1'000'000'000'000'000);
    case 2:
        return static_cast<double>(static_cast<std::int32_t>(in.u32()));
    case 3: {
        // A decimal fraction p / 10^q, the kind of number a user types.
        const auto p = static_cast<std::int64_t>(in.u64() % 10'000'000'000'000'000ull);
        return static_cast<double>(p) / std::pow(10.0, in.u8() % 40);
    }
    case 4: {
        // Next to a power of ten, where rounding to 15 digits can carry into a new digit.
        const int exponent = static_cast<int>(in.u16() % 640) - 325;
        const double base = std::pow(10.0, exponent);
        const int steps = static_cast<std::int8_t>(in.u8());
        double v = base;
        for (int i = 0; i < std::abs(steps); ++i)
            v = std::nextafter(v, steps < 0 ? 0.0 : HUGE_VAL);
        return (mode & 8) ? -v : v;
    }
    case 5:
        return static_cast<double>(static_cast<std::int32_t>(in.u32())) / 2.0;
    case 6:
        return fuzz::special(in.u8());
    default:
        return static_cast<double>(static_cast<std::int32_t>(in.u32())) / 1024.0;
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Checks the characters behind the sign; returns the number of significant digits.
int checkNumberText(const std::string &body, double v)
{
    std::size_t i = 0;
    std::string mantissa;
    while (i < body.size() && isDigit(body[i]))
        mantissa += body[i++];
    const std::size_t intDigits = mantissa.size();
    bool point = false;
    if (i < body.size() && body[i] == '.') {
        point = true;
        ++i;
        const std::size_t before = mantissa.size();
        while (i < body.size() && isDigit(body[i]))
            mantissa += body[i++];
        fuzz::check(mantissa.size() > before, "a decimal point without digits behind it", v);
        fuzz::check(mantissa.back() != '0', "a trailing zero behind the decimal point", v);
    }
    fuzz::check(!mantissa.empty(), "no digits", v);
    fuzz::check(!(point && intDigits == 1 && mantissa[0] == '0'), "a zero before the decimal point", v);
    fuzz::check(!(intDigits > 1 && mantissa[0] == '0'), "a leading zero", v);
    const bool exponent = i < body.size();
    if (exponent) {
        fuzz::check(body[i] == 'E', "a character that is not part of a number", v);
        ++i;
        fuzz::check(i < body.size() && (body[i] == '+' || body[i] == '-'), "an exponent without sign", v);
        ++i;
        const std::size_t digitsFrom = i;
        while (i < body.size() && isDigit(body[i]))
            ++i;
        fuzz::check(i == body.size(), "a character that is not part of a number", v);
        fuzz::check(i - digitsFrom >= 2 && i - digitsFrom <= 3, "an exponent not of 2 or 3 digits", v);
        fuzz::check(intDigits == 1 && mantissa[0] != '0', "an exponent form not of one digit before the point", v);
    }
    const std::size_t firstSignificant = mantissa.find_first_not_of('0');
    std::size_t significant = firstSignificant == std::string::npos ? 1 : mantissa.size() - firstSignificant;
    if (!point) // a whole number's trailing zeros are not significant
        while (significant > 1 && mantissa[firstSignificant + significant - 1] == '0')
            --significant;
    return static_cast<int>(significant);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input in(data, size);
    const double v = value(in);
    const std::string s = rt::Str(v);

    fuzz::check(rt::CStr(v) == (s[0] == ' ' ? s.substr(1) : s), "CStr is not Str without its blank", v);
    fuzz::check(rt::PrintNumber(v) == s + ' ', "Print is not Str with a blank behind", v);
    if (std::isnan(v)) {
        fuzz::check(s == " NaN", "NaN does not print as \" NaN\"", v);
        return 0;
    }
    if (std::isinf(v)) {
        fuzz::check(s == (v > 0 ? " Infinity" : "-Infinity"), "an infinity prints wrong", v);
        return 0;
    }

    fuzz::check(!s.empty() && s[0] == (v < 0 ? '-' : ' '), "the sign position is wrong", v);
    const std::string body = s.substr(1);
    const int significant = checkNumberText(body, v);
    fuzz::check(significant <= 15, "more than 15 significant digits", v);

    // The reference: v rounded to 15 significant digits by the C library.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const double rounded = std::strtod(buf, nullptr);
    const double magnitude = std::fabs(rounded);
    const bool whole = std::fabs(v) < 1e15 && v == std::trunc(v);
    if (whole)
        fuzz::check(body.find_first_not_of("0123456789") == std::string::npos,
                    "a whole number below 1E+15 printed with more than digits", v);
    else
        fuzz::check((body.find('E') != std::string::npos) == (magnitude >= 1e15 || (magnitude < 1e-4 && magnitude > 0)),
                    "exponent form on the wrong side of 1E-04 or 1E+15", v);

    double back = 0;
    try {
        back = rt::Val(s);
    } catch (const rt::RuntimeError &e) {
        // Only a text beyond the largest double may overflow: DBL_MAX rounds up to 1.79769313486232E+308.
        fuzz::check(e.code() == rt::ErrorCode::Overflow && std::isinf(rounded), "Val(Str(v)) raised an error", v);
        return 0;
    }
    fuzz::check(!std::isinf(rounded), "Val(Str(v)) did not overflow beyond the double range", v);
    if (whole)
        fuzz::check(back == v || (v == 0 && back == 0), "Val(Str(v)) differs from a whole v", v);
    else
        fuzz::check(std::fabs(back - rounded) <= 1e-14 * std::fabs(rounded),
                    "Val(Str(v)) is not v rounded to 15 digits", v);
    return 0;
}
