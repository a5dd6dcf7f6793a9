#include "core/find_runs.h"

#include "rules/numrules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace core {

void CheckScanRange(double n, double bound)
{
    if (bound >= 1)
        rt::CLng(n);
}

void TakePrimeFactor(std::vector<std::int64_t> &divisors, std::uint32_t &rest, std::uint32_t p)
{
    const std::size_t base = divisors.size();
    std::int64_t power = 1;
    while (rest % p == 0) {
        rest /= p;
        power *= p;
        for (std::size_t i = 0; i < base; ++i)
            divisors.push_back(divisors[i] * power);
    }
}

std::vector<std::int64_t> OddDivisors(std::uint32_t m)
{
    std::vector<std::int64_t> divisors;
    if (m == 0)
        return divisors;
    while (m % 2 == 0)
        m /= 2;
    divisors.push_back(1);
    // By the odd primes alone: an odd m below 2^31 has at most one prime factor above 46340, and a
    // number near 2^31 needs some 4,800 remainders instead of 23,000 by every odd number (and a
    // quotient for every bound check), which a screen frame of a search pays twice.
    for (const std::uint32_t p : SmallOddPrimes()) {
        if (std::uint64_t(p) * p > m)
            break;
        if (m % p == 0)
            TakePrimeFactor(divisors, m, p);
    }
    // Only above 2^31 can two prime factors both exceed the table.
    for (std::uint32_t p = SmallOddPrimes().back() + 2; std::uint64_t(p) * p <= m; p += 2)
        if (m % p == 0)
            TakePrimeFactor(divisors, m, p);
    if (m > 1)
        TakePrimeFactor(divisors, m, m);
    std::sort(divisors.begin(), divisors.end());
    return divisors;
}

void StoreRun(AnalysisState &s, double divisor, const std::string &nText, const RunStep &step)
{
    if (s.runCount == std::numeric_limits<std::int16_t>::max())
        throw rt::RuntimeError(rt::ErrorCode::Overflow);
    ++s.runCount;
    s.quotient = s.n / divisor;
    const std::size_t k = static_cast<std::size_t>(s.runCount);
    if (k >= s.runStart.size()) {
        s.runStart.resize(2 * k);
        s.runEnd.resize(2 * k);
    }
    double &start = s.runStart[k];
    double &end = s.runEnd[k];
    start = s.quotient - (divisor - 1) / 2;
    end = s.quotient + (divisor - 1) / 2;
    if (start <= 0)
        start = 1 - start;
    s.listing += "\r\n";
    s.listing += nText;
    s.listing += " =";
    s.listing += rt::Str(start);
    if (start != end) {
        s.listing += " +...+ ";
        s.listing += rt::Str(end);
    }
    if (step)
        step(static_cast<int>(k));
}

void FindRuns(AnalysisState &s, double bound, const RunStep &step, DivisorSieve *sieve)
{
    CheckScanRange(s.n, bound);
    if (!(bound >= 1)) {
        s.divisor = 1;
        return;
    }
    const std::string nText = rt::Str(s.n);
    const std::int32_t rounded = rt::CLng(s.n);
    if (rounded == 0) {
        // Every odd number divides 0.
        for (s.divisor = 1; s.divisor <= bound; s.divisor += 2)
            StoreRun(s, s.divisor, nText, step);
        return;
    }
    const auto magnitude = static_cast<std::uint32_t>(std::llabs(static_cast<long long>(rounded)));
    std::vector<std::int64_t> ownDivisors;
    const std::vector<std::int64_t> &divisors =
        sieve ? sieve->oddDivisors(magnitude) : (ownDivisors = OddDivisors(magnitude));
    for (std::int64_t d : divisors) {
        const double divisor = static_cast<double>(d);
        if (divisor > bound)
            break;
        s.divisor = divisor;
        StoreRun(s, divisor, nText, step);
    }
    // The counter leaves the loop at the first odd number beyond the bound.
    s.divisor = std::floor((bound - 1) / 2) * 2 + 3;
}

} // namespace core
