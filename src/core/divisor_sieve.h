#pragma once

#include <cstdint>
#include <vector>

namespace core {

// The odd primes up to 46340, the floor of sqrt(2^31), ascending.
const std::vector<std::uint32_t> &SmallOddPrimes();

// The odd divisors of numbers that come one after another, as a forward search tries them. A block
// of consecutive numbers is sieved with the odd primes up to the square root of its end, so that
// each number's odd prime factors are known before it is asked for; trial division would cost
// some fifteen thousand remainders for every number near 2^31. A number outside the block starts
// a new block there.
class DivisorSieve {
public:
    // Numbers per block: large enough that the per-block cost of the primes above the block
    // width is spread thin, small enough that the block's factor lists stay in the cache.
    static constexpr std::uint32_t DefaultBlockSize = 1u << 14;
    // Every number up to this is covered: 2^31 is the magnitude of the lowest 32-bit integer.
    static constexpr std::uint32_t Largest = 1u << 31;
    // An odd number below 2^31 has at most eight distinct odd prime factors up to sqrt(2^31):
    // 3 * 5 * ... * 23 is 111546435, and one more prime passes 2^31.
    static constexpr int MaxSmallFactors = 8;

    // A smaller block suits tests, which want to cross block boundaries often.
    explicit DivisorSieve(std::uint32_t blockSize = DefaultBlockSize);

    // The odd prime factors of m with their exponents, ascending.
    struct OddFactors {
        int count = 0;
        std::uint32_t prime[MaxSmallFactors + 1];
        std::uint8_t exponent[MaxSmallFactors + 1];
    };

    // The odd divisors of m ascending, as core::OddDivisors gives them. 1 <= m <= Largest. The
    // reference stays valid until the next call.
    const std::vector<std::int64_t> &oddDivisors(std::uint32_t m);
    // The same divisors in the order they are made: for the prime factors p1 < p2 < ... with the
    // exponents e1, e2, ..., the index i0 + (e1 + 1) * (i1 + (e2 + 1) * (...)) holds
    // p1^i0 * p2^i1 * ..., so the divisors at i and count - 1 - i multiply to m's odd part.
    const std::vector<std::int64_t> &oddDivisorsUnsorted(std::uint32_t m);
    // 1 <= m <= Largest.
    OddFactors oddFactors(std::uint32_t m);

private:
    // Lets a test see how many blocks were sieved; defined by the tests alone.
    friend struct DivisorSieveProbe;

    struct Factors {
        std::uint8_t count;
        std::uint16_t prime[MaxSmallFactors]; // indices into primes_
    };

    void sieve(std::uint32_t first);
    const Factors &smallFactors(std::uint32_t m);

    const std::vector<std::uint32_t> &primes_; // the odd primes up to sqrt(Largest)
    std::vector<Factors> block_;
    std::uint32_t first_ = 0; // the block holds first_ .. first_ + size_ - 1
    std::uint32_t size_ = 0;
    std::vector<std::int64_t> divisors_;
    // Blocks sieved since construction; what a jump in the numbers costs shows up here.
    std::uint64_t blocksSieved_ = 0;
};

} // namespace core
