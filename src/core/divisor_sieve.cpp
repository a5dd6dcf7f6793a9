#include "core/divisor_sieve.h"

#include <algorithm>
#include <bit>
#include <cassert>

namespace core {

namespace {

// The odd primes up to 46340, the floor of sqrt(2^31), by a plain sieve of Eratosthenes.
std::vector<std::uint32_t> sieveSmallOddPrimes()
{
    constexpr std::uint32_t limit = 46340;
    std::vector<bool> composite(limit + 1);
    std::vector<std::uint32_t> primes;
    for (std::uint32_t p = 3; p <= limit; p += 2) {
        if (composite[p])
            continue;
        primes.push_back(p);
        for (std::uint32_t q = p * p; q <= limit; q += 2 * p)
            composite[q] = true;
    }
    return primes;
}

std::uint32_t isqrt(std::uint32_t v)
{
    std::uint32_t r = 0;
    for (std::uint32_t bit = 1u << 15; bit != 0; bit >>= 1) {
        const std::uint32_t t = r | bit;
        if (std::uint64_t(t) * t <= v)
            r = t;
    }
    return r;
}

} // namespace

const std::vector<std::uint32_t> &SmallOddPrimes()
{
    // Made once and shared by every sieve and every factoring.
    static const std::vector<std::uint32_t> primes = sieveSmallOddPrimes();
    return primes;
}

DivisorSieve::DivisorSieve(std::uint32_t blockSize) : primes_(SmallOddPrimes()), block_(std::max(blockSize, 1u))
{
    divisors_.reserve(64);
}

void DivisorSieve::sieve(std::uint32_t first)
{
    first_ = first;
    size_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(block_.size(), std::uint64_t(Largest) - first + 1));
    const std::uint32_t last = first + (size_ - 1);
    for (std::uint32_t i = 0; i < size_; ++i)
        block_[i].count = 0;
    const std::uint32_t limit = isqrt(last);
    for (std::size_t idx = 0; idx < primes_.size() && primes_[idx] <= limit; ++idx) {
        const std::uint32_t p = primes_[idx];
        const std::uint32_t offset = (p - first % p) % p;
        for (std::uint64_t i = offset; i < size_; i += p) {
            Factors &f = block_[i];
            assert(f.count < MaxSmallFactors);
            f.prime[f.count++] = static_cast<std::uint16_t>(idx);
        }
    }
    ++blocksSieved_;
}

const DivisorSieve::Factors &DivisorSieve::smallFactors(std::uint32_t m)
{
    assert(m >= 1 && m <= Largest);
    // A scan only happens for numbers from 1 up (or for 0, which needs no divisors), so the
    // numbers a search tries grow, and a new block starts at m.
    if (m < first_ || m - first_ >= size_)
        sieve(m);
    return block_[m - first_];
}

DivisorSieve::OddFactors DivisorSieve::oddFactors(std::uint32_t m)
{
    const Factors &f = smallFactors(m);
    OddFactors odd;
    std::uint32_t rest = m >> std::countr_zero(m);
    for (int i = 0; i < f.count; ++i) {
        const std::uint32_t p = primes_[f.prime[i]];
        std::uint8_t e = 0;
        do {
            rest /= p;
            ++e;
        } while (rest % p == 0);
        odd.prime[odd.count] = p;
        odd.exponent[odd.count++] = e;
    }
    // Every prime up to the square root of the block's end is divided out: what is left is 1 or
    // one prime.
    if (rest > 1) {
        odd.prime[odd.count] = rest;
        odd.exponent[odd.count++] = 1;
    }
    return odd;
}

const std::vector<std::int64_t> &DivisorSieve::oddDivisorsUnsorted(std::uint32_t m)
{
    const OddFactors odd = oddFactors(m);
    divisors_.assign(1, 1);
    for (int i = 0; i < odd.count; ++i) {
        const std::size_t base = divisors_.size();
        std::int64_t power = 1;
        for (int e = 0; e < odd.exponent[i]; ++e) {
            power *= odd.prime[i];
            for (std::size_t j = 0; j < base; ++j)
                divisors_.push_back(divisors_[j] * power);
        }
    }
    return divisors_;
}

const std::vector<std::int64_t> &DivisorSieve::oddDivisors(std::uint32_t m)
{
    oddDivisorsUnsorted(m);
    std::sort(divisors_.begin(), divisors_.end());
    return divisors_;
}

} // namespace core
