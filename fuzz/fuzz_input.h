#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace fuzz {

// Takes fixed-size values from the front of the fuzzer's bytes; past the end it reads zeros, so
// every input, however short, maps to a value.
class Input {
public:
    Input(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
    std::uint64_t u64() { return take(8); }
    double raw() { return fromBits(u64()); }

    // What is left, e.g. as text for Val.
    std::string_view rest() const { return {reinterpret_cast<const char *>(data_ + pos_), size_ - pos_}; }

private:
    // Little-endian, so that a seed file reads the same on every machine.
    std::uint64_t take(std::size_t bytes)
    {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            const std::uint64_t b = pos_ < size_ ? data_[pos_++] : 0;
            v |= b << (8 * i);
        }
        return v;
    }
    static double fromBits(std::uint64_t bits)
    {
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Values where the rules change: zero and its sign, the 32-bit limits and their rounding ties,
// 1E+15 and 1E-05 where Str switches to the exponent form, the ends of the double range.
inline double special(std::uint8_t index)
{
    constexpr double table[] = {
        std::numeric_limits<double>::quiet_NaN(),
        -std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        0.0,
        -0.0,
        0.5,
        -0.5,
        1.5,
        2.5,
        1.0,
        -1.0,
        std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::denorm_min(),
        std::numeric_limits<double>::max(),
        -std::numeric_limits<double>::max(),
        std::numeric_limits<double>::epsilon(),
        2147483647.0,
        2147483647.4999997615814209,
        2147483647.5,
        2147483648.0,
        -2147483648.0,
        -2147483648.5,
        -2147483648.5000002384185791,
        -2147483649.0,
        1e15,
        1e15 - 1,
        1e15 - 0.5,
        999999999999999.9,
        1e-5,
        1e-4,
        9.99999999999999e-5,
        1576575.0,
        105.0,
        75.0,
        7.5,
        4294967296.0,
        9007199254740992.0,
        1e300,
        -1e300,
        1e-300,
    };
    return table[index % (sizeof table / sizeof table[0])];
}

// A broken property: print what is needed to understand it, then crash so that libFuzzer keeps
// the input.
[[noreturn]] inline void fail(const char *what, double v)
{
    std::fprintf(stderr, "property broken: %s (value %.17g)\n", what, v);
    std::abort();
}

inline void check(bool ok, const char *what, double v = 0)
{
    if (!ok)
        fail(what, v);
}

// Equal as stored: NaN equals NaN, 0 and -0 differ.
inline bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

} // namespace fuzz
