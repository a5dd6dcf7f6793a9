#pragma once

// An independent writer of the analysis listing for whole numbers. It shares nothing with the
// program: it knows no divisor scan and no number rule, finds the runs by summing blocks of
// consecutive integers and writes the numbers itself, so that a fault in the listing's format that
// the fast and the literal scan share cannot hide behind their agreement.

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace listing_oracle {

struct Run {
    std::int64_t start;
    std::int64_t end;
};

// The blocks of m consecutive positive integers with sum n, for n >= 1, ordered by the odd divisor
// of n that each block belongs to (its length when that is odd, else the sum of its first and last
// term), as the listing orders them.
inline std::vector<Run> positiveRunsOf(std::int64_t n)
{
    std::vector<std::pair<std::int64_t, Run>> found;
    for (std::int64_t m = 1; m * (m + 1) / 2 <= n; ++m) {
        const std::int64_t rest = n - m * (m - 1) / 2;
        if (rest % m == 0) {
            const Run r{rest / m, rest / m + m - 1};
            found.push_back({m % 2 == 1 ? m : r.start + r.end, r});
        }
    }
    std::sort(found.begin(), found.end(), [](auto &x, auto &y) { return x.first < y.first; });
    std::vector<Run> runs;
    for (auto &f : found)
        runs.push_back(f.second);
    return runs;
}

// The runs an analysis of n lists when it tries the odd numbers up to the bound, for whole n and
// the bounds the window uses, n and n + 1. A whole n >= 1 has all its runs either way, since no
// odd number above n divides it. Below 1 only 0 with the bound 1 is scanned at all: the one
// block, of the single term 0, cancels down to nothing, which the listing writes as the empty
// run from 1 to 0.
inline std::vector<Run> runsOf(std::int64_t n, std::int64_t bound)
{
    if (n >= 1)
        return positiveRunsOf(n);
    if (n == 0 && bound == 1)
        return {Run{1, 0}};
    return {};
}

// A whole number as the listing shows it: a blank where a minus sign would stand.
inline std::string text(std::int64_t v)
{
    return (v < 0 ? "-" : " ") + std::to_string(v < 0 ? -v : v);
}

struct Listing {
    std::vector<Run> runs;
    std::string text;
    int pairs = 0;
};

// The whole listing: a line for every run, then the halvable pairs, each an earlier run that
// ends right before a later one begins, in the order of the later run and for one later run in
// the order of the earlier one; "keine" when there is none.
inline Listing listingOf(std::int64_t n, std::int64_t bound)
{
    Listing l;
    l.runs = runsOf(n, bound);
    std::string &s = l.text;
    for (const Run &r : l.runs) {
        s += "\r\n" + text(n) + " =" + text(r.start);
        if (r.start != r.end)
            s += " +...+ " + text(r.end);
    }
    s += "\r\n\r\nhalbierbare Sequenzen:";
    for (const Run &later : l.runs)
        for (const Run &earlier : l.runs)
            if (earlier.end + 1 == later.start) {
                ++l.pairs;
                s += "\r\n" + text(earlier.start) + "_" + text(earlier.end) + " = " + text(later.start) + "_"
                    + text(later.end);
            }
    if (l.pairs == 0)
        s += "\r\n\r\nkeine";
    return l;
}

// Where the writer knows the listing: a whole n that a 64-bit integer holds exactly, with the
// bound n or n + 1.
inline bool covers(double n, double bound)
{
    const bool whole = n >= -9.0e15 && n <= 9.0e15 && static_cast<double>(static_cast<std::int64_t>(n)) == n;
    return whole && (bound == n || bound == n + 1);
}

} // namespace listing_oracle
