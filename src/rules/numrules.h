#pragma once

#include "rules/runtime_error.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

// The old runtime's number and text rules, exact and independent of the locale.
namespace rt {

// Reads the leading number of a text. Blanks, tabs and line feeds are skipped wherever they stand;
// "&H" and "&O" introduce hexadecimal and octal digits; "E" or "D" starts an exponent. Text without
// a leading number reads as 0. A number too large for a double raises Overflow.
double Val(std::string_view text);

// Number to text: a blank (or "-") in front, at most 15 significant digits, no zero before the
// decimal point, exponent form ("1E+15", "1E-05") outside 1E-05 < |v| < 1E+15.
std::string Str(double v);

// Str without the leading blank of a non-negative number.
std::string CStr(double v);

// How Print writes a number: Str and one blank behind it.
std::string PrintNumber(double v);

// Raises the runtime's Overflow error.
[[noreturn]] void RaiseOverflow();

// Round half to even, without a range check.
inline double RoundHalfEven(double v)
{
    // Adding and taking away 2^52 leaves the whole number nearest to v, a tie going to the even
    // one, in the round-to-nearest mode the program never leaves. Without branches on the
    // fraction: a chart rounds three colour components of random draws for every bar.
    constexpr double two52 = 4503599627370496.0;
    if (!(std::fabs(v) < two52) || v == 0)
        return v; // whole already, or NaN, or a zero that keeps its sign
    return v > 0 ? (v + two52) - two52 : (v - two52) + two52;
}

// Round half to even into the 16- or 32-bit signed range; Overflow outside it (NaN included).
inline std::int16_t CInt(double v)
{
    const double r = RoundHalfEven(v);
    if (!(r >= -32768.0 && r <= 32767.0))
        RaiseOverflow();
    return static_cast<std::int16_t>(r);
}

inline std::int32_t CLng(double v)
{
    const double r = RoundHalfEven(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        RaiseOverflow();
    return static_cast<std::int32_t>(r);
}

// a Mod b with both operands first rounded into the 32-bit range; the sign follows the dividend.
std::int32_t Mod(double a, double b);

// A colour as the runtime stores it: red + 256 * green + 65536 * blue.
constexpr std::int32_t RGB(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}
constexpr int RedOf(std::int32_t colour)
{
    return colour & 0xFF;
}
constexpr int GreenOf(std::int32_t colour)
{
    return (colour >> 8) & 0xFF;
}
constexpr int BlueOf(std::int32_t colour)
{
    return (colour >> 16) & 0xFF;
}

} // namespace rt
