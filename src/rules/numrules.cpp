#include "rules/numrules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <fast_float/fast_float.h>

namespace rt {

namespace {

bool skipped(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the text as a sequence of characters with the skipped ones already left out.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) { skip(); }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance()
    {
        ++pos_;
        skip();
    }

private:
    void skip()
    {
        while (pos_ < text_.size() && skipped(text_[pos_]))
            ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

int digitValue(char c, int radix)
{
    int v = -1;
    if (isDigit(c))
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < radix ? v : -1;
}

double checked(double v)
{
    if (std::isinf(v))
        throw RuntimeError(ErrorCode::Overflow);
    return v;
}

double readRadix(Reader &r, int radix)
{
    double v = 0;
    for (int d; (d = digitValue(r.peek(), radix)) >= 0; r.advance())
        v = v * radix + d;
    return checked(v);
}

} // namespace

double Val(std::string_view text)
{
    Reader r(text);
    if (r.peek() == '&') {
        r.advance();
        const char c = r.peek();
        if (c == 'h' || c == 'H') {
            r.advance();
            return readRadix(r, 16);
        }
        if (c == 'o' || c == 'O')
            r.advance();
        return readRadix(r, 8);
    }

    std::string number;
    if (r.peek() == '+' || r.peek() == '-') {
        if (r.peek() == '-')
            number += '-';
        r.advance();
    }
    bool anyDigit = false;
    for (; isDigit(r.peek()); r.advance()) {
        number += r.peek();
        anyDigit = true;
    }
    if (r.peek() == '.') {
        number += '.';
        r.advance();
        for (; isDigit(r.peek()); r.advance()) {
            number += r.peek();
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    const char e = r.peek();
    if (e == 'e' || e == 'E' || e == 'd' || e == 'D') {
        r.advance();
        std::string exponent = "e";
        if (r.peek() == '+' || r.peek() == '-') {
            exponent += r.peek();
            r.advance();
        }
        bool expDigit = false;
        for (; isDigit(r.peek()); r.advance()) {
            exponent += r.peek();
            expDigit = true;
        }
        if (expDigit)
            number += exponent;
    }
    // Up to 15 digits without point or exponent are a whole number that a double holds exactly:
    // summing them gives strtod's result at a fraction of its cost. A search reads the number box
    // several times for every number it tries.
    const bool negative = !number.empty() && number[0] == '-';
    const std::size_t digits = number.size() - (negative ? 1 : 0);
    if (digits <= 15 && std::all_of(number.begin() + (negative ? 1 : 0), number.end(), isDigit)) {
        std::int64_t whole = 0;
        for (std::size_t i = negative ? 1 : 0; i < number.size(); ++i)
            whole = whole * 10 + (number[i] - '0');
        const double v = static_cast<double>(whole);
        return negative ? -v : v;
    }
    // fast_float reads "." whatever LC_NUMERIC the GUI set, rounds exactly as from_chars does, and
    // builds with every C++ library the program is built with (some lack from_chars for doubles).
    // A number too large for a double reads as infinity, one too small as zero or a subnormal.
    double v = 0;
    const char *first = number.data() + (negative ? 1 : 0);
    fast_float::from_chars(first, number.data() + number.size(), v);
    if (std::isinf(v))
        throw RuntimeError(ErrorCode::Overflow);
    return negative ? -v : v;
}

void RaiseOverflow()
{
    throw RuntimeError(ErrorCode::Overflow);
}

std::int32_t Mod(double a, double b)
{
    const std::int32_t x = CLng(a);
    const std::int32_t y = CLng(b);
    if (y == 0)
        throw RuntimeError(ErrorCode::DivisionByZero);
    if (y == -1)
        return 0;
    return x % y;
}

std::string Str(double v)
{
    if (std::isnan(v))
        return " NaN";
    if (std::isinf(v))
        return v > 0 ? " Infinity" : "-Infinity";

    std::string out(1, v < 0 ? '-' : ' ');
    const double a = std::fabs(v);
    if (a == 0.0)
        return out + '0';
    // Whole numbers below 1E+15 have at most 15 digits and print exactly.
    if (a < 1e15 && a == std::floor(a)) {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(a));
        return out.append(buf, res.ptr);
    }

    // 15 significant digits, correctly rounded by the C library's printf (as exact as to_chars,
    // which some C++ libraries lack for doubles). Only the digits and the exponent are read, so
    // the decimal point of whatever LC_NUMERIC the GUI set does not matter.
    char buf[40];
    const int length = std::snprintf(buf, sizeof buf, "%.14e", a);
    const std::string_view sci(buf, static_cast<std::size_t>(std::max(length, 0)));
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (isDigit(c))
            digits += c;
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+'), sci.data() + sci.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent >= 15 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const int e = std::abs(exponent);
        if (e < 10)
            out += '0';
        out += std::to_string(e);
    } else if (exponent < 0) {
        out += '.';
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, intDigits);
            out += '.';
            out.append(digits, intDigits);
        }
    }
    return out;
}

std::string CStr(double v)
{
    std::string s = Str(v);
    if (!s.empty() && s[0] == ' ')
        s.erase(0, 1);
    return s;
}

std::string PrintNumber(double v)
{
    return Str(v) + ' ';
}

} // namespace rt
