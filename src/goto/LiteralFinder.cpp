#include "goto/LiteralFinder.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PATHWICKS_AVX2 1
#endif

namespace pathwicks {

namespace {

// Bytes of source text from the most to the least common, roughly; bytes not listed (other
// control bytes, non-ASCII) are rarer still.
constexpr std::string_view commonFirst =
    " \ne\tt_rinsoalcd/pu*m(),;.fh=\"gb-x0>:1{}yTSEINRAOLCvw2P#D3'k[]MF4<&8U5B69G7HqXKVWzYjJ!%Z|"
    "+?\\@$^~`Q\r";

constexpr std::array<unsigned char, 256> makeRanks() {
    std::array<unsigned char, 256> ranks{};
    for (size_t i = 0; i < commonFirst.size(); ++i)
        ranks[static_cast<unsigned char>(commonFirst[i])] =
            static_cast<unsigned char>(commonFirst.size() - i);
    return ranks;
}

constexpr std::array<unsigned char, 256> firstByteRanks = makeRanks();

unsigned rank(char c) {
    return firstByteRanks[static_cast<unsigned char>(c)];
}

#ifdef PATHWICKS_AVX2
// Whether the needle starts at `at`: a plain loop, so that the search loops around it call
// nothing and keep their values in registers.
inline bool startsAt(const char* data, size_t at, const std::string& needle) {
    for (size_t i = 0; i < needle.size(); ++i)
        if (data[at + i] != needle[i])
            return false;
    return true;
}

// Where the two rare bytes agree for thirty-two candidate starts from `at`.
__attribute__((target("avx2"))) inline __m256i agree(const char* at, size_t rare1, size_t rare2,
                                                     __m256i first, __m256i second) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + rare1));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + rare2));
    return _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, second));
}

// Sixty-four candidate starts at once, where the processor has AVX2; `pos` is left where it
// stopped looking. The offset of the first occurrence, or npos.
__attribute__((target("avx2"))) size_t findWide(const char* data, size_t& pos, size_t lastStart,
                                                const std::string& needle, size_t rare1,
                                                size_t rare2) {
    const __m256i first = _mm256_set1_epi8(needle[rare1]);
    const __m256i second = _mm256_set1_epi8(needle[rare2]);
    for (; pos + 63 <= lastStart; pos += 64) {
        const __m256i low = agree(data + pos, rare1, rare2, first, second);
        const __m256i high = agree(data + pos + 32, rare1, rare2, first, second);
        // Most blocks hold no candidate at all: one test for both halves.
        const __m256i either = _mm256_or_si256(low, high);
        if (_mm256_testz_si256(either, either))
            continue;
        uint64_t mask = static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
                        uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(high))} << 32;
        for (; mask != 0; mask &= mask - 1) {
            const size_t candidate = pos + static_cast<size_t>(__builtin_ctzll(mask));
            if (startsAt(data, candidate, needle))
                return candidate;
        }
    }
    for (; pos + 31 <= lastStart; pos += 32) {
        const __m256i both = agree(data + pos, rare1, rare2, first, second);
        auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(both));
        for (; mask != 0; mask &= mask - 1) {
            const size_t candidate = pos + static_cast<size_t>(__builtin_ctz(mask));
            if (startsAt(data, candidate, needle))
                return candidate;
        }
    }
    return std::string_view::npos;
}

const bool hasAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
#endif

} // namespace

LiteralFinder::LiteralFinder(std::string needle) : needle_(std::move(needle)) {
    if (needle_.size() < 2)
        return;
    rare1_ = 0;
    for (size_t i = 1; i < needle_.size(); ++i)
        if (rank(needle_[i]) < rank(needle_[rare1_]))
            rare1_ = i;
    rare2_ = rare1_ == 0 ? 1 : 0;
    for (size_t i = 0; i < needle_.size(); ++i)
        if (i != rare1_ && needle_[i] != needle_[rare1_] &&
            (needle_[rare2_] == needle_[rare1_] || rank(needle_[i]) < rank(needle_[rare2_])))
            rare2_ = i;
}

size_t LiteralFinder::find(std::string_view text, size_t from) const {
    const size_t m = needle_.size();
    const size_t n = text.size();
    if (m == 0)
        return from <= n ? from : std::string_view::npos;
    if (from > n || n - from < m)
        return std::string_view::npos;
    const char* data = text.data();
    const char* needle = needle_.data();
    if (m == 1) {
        const void* hit = std::memchr(data + from, needle[0], n - from);
        return hit ? static_cast<const char*>(hit) - data : std::string_view::npos;
    }
    const size_t lastStart = n - m;
    size_t pos = from;
#ifdef PATHWICKS_AVX2
    if (hasAvx2) {
        if (const size_t hit = findWide(data, pos, lastStart, needle_, rare1_, rare2_);
            hit != std::string_view::npos)
            return hit;
    }
#endif
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(needle[rare1_]);
    const __m128i second = _mm_set1_epi8(needle[rare2_]);
    // Sixteen candidate starts at once; every load stays inside the text.
    for (; pos + 15 <= lastStart; pos += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + rare1_));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + rare2_));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, second))));
        while (mask != 0) {
            const size_t candidate = pos + static_cast<size_t>(__builtin_ctz(mask));
            if (std::memcmp(data + candidate, needle, m) == 0)
                return candidate;
            mask &= mask - 1;
        }
    }
    for (; pos <= lastStart; ++pos)
        if (data[pos + rare1_] == needle[rare1_] && data[pos + rare2_] == needle[rare2_] &&
            std::memcmp(data + pos, needle, m) == 0)
            return pos;
    return std::string_view::npos;
#else
    while (pos <= lastStart) {
        const void* hit = std::memchr(data + pos + rare1_, needle[rare1_], lastStart - pos + 1);
        if (!hit)
            return std::string_view::npos;
        const size_t candidate = static_cast<const char*>(hit) - data - rare1_;
        if (std::memcmp(data + candidate, needle, m) == 0)
            return candidate;
        pos = candidate + 1;
    }
    return std::string_view::npos;
#endif
}

} // namespace pathwicks
