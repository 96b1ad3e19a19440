#include "store/crc32.h"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CORVANE_CRC_FOLDING 1
#endif

namespace corvane {

namespace {

constexpr uint32_t kPolynomial = 0x04C11DB7u;  // x^32 implied

using Tables = std::array<std::array<uint32_t, 256>, 8>;

// Table k advances the CRC over a byte followed by k zero bytes, so eight
// bytes are folded in with eight independent lookups.
constexpr Tables makeTables() {
    Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int bit = 0; bit < 8; ++bit) c = (c & 0x80000000u) ? (c << 1) ^ kPolynomial : (c << 1);
        t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
        for (uint32_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
    return t;
}

constexpr Tables kTables = makeTables();

#ifdef CORVANE_CRC_FOLDING

// Polynomials over GF(2) as bit masks, bit i the coefficient of x^i.
// x^n mod P.
constexpr uint64_t xPowerMod(unsigned n) {
    uint32_t r = 1;
    for (unsigned i = 0; i < n; ++i) r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : (r << 1);
    return r;
}

// floor(x^64 / P), for the Barrett reduction of the last 64 bits.
constexpr uint64_t barrettQuotient() {
    uint64_t q = uint64_t{1} << 32, rest = uint64_t{kPolynomial} << 32;
    for (int i = 31; i >= 0; --i) {
        if ((rest >> (i + 32)) & 1) {
            q |= uint64_t{1} << i;
            rest ^= (uint64_t{1} << 32 | kPolynomial) << i;
        }
    }
    return q;
}
static_assert(barrettQuotient() == 0x104D101DFu);

#define CORVANE_FOLDING_TARGET __attribute__((target("pclmul,sse4.1")))

// Sixteen bytes as a polynomial of degree < 128, the first bit highest.
CORVANE_FOLDING_TARGET inline __m128i loadBlock(const uint8_t* p) {
    const __m128i reversed = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reversed);
}

// a * x^n mod P without the reduction, for k = (x^(n+64) mod P, x^n mod P):
// a block carried n bits further, congruent and of degree < 128 again.
CORVANE_FOLDING_TARGET inline __m128i carry(__m128i a, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x11), _mm_clmulepi64_si128(a, k, 0x00));
}

#endif

}  // namespace

uint32_t crc32MpegTable(const uint8_t* data, size_t size, uint32_t crc) {
    const auto& t = kTables;
    while (size >= 8) {
        crc ^= (uint32_t(data[0]) << 24) | (uint32_t(data[1]) << 16) | (uint32_t(data[2]) << 8) | data[3];
        crc = t[7][crc >> 24] ^ t[6][(crc >> 16) & 0xFF] ^ t[5][(crc >> 8) & 0xFF] ^ t[4][crc & 0xFF] ^
              t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size--) crc = (crc << 8) ^ t[0][((crc >> 24) ^ *data++) & 0xFF];
    return crc;
}

#ifdef CORVANE_CRC_FOLDING

// The CRC register after bytes M is (crc * x^8|M| + M * x^32) mod P: with
// crc added to the first four bytes, the whole run is one polynomial times
// x^32. Four lanes of 16-byte blocks are each carried 512 bits on and the
// next blocks added, then the lanes are carried into one; its 128 bits times
// x^32 are reduced to 32 and the last bytes go through the tables.
CORVANE_FOLDING_TARGET uint32_t crc32MpegFolded(const uint8_t* p, size_t n, uint32_t crc) {
    if (n < 16) return crc32MpegTable(p, n, crc);
    const __m128i by128 = _mm_set_epi64x(xPowerMod(128 + 64), xPowerMod(128));
    __m128i x = _mm_xor_si128(loadBlock(p), _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
    p += 16, n -= 16;
    if (n >= 48) {
        const __m128i by512 = _mm_set_epi64x(xPowerMod(512 + 64), xPowerMod(512));
        __m128i x1 = loadBlock(p), x2 = loadBlock(p + 16), x3 = loadBlock(p + 32);
        for (p += 48, n -= 48; n >= 64; p += 64, n -= 64) {
            x = _mm_xor_si128(carry(x, by512), loadBlock(p));
            x1 = _mm_xor_si128(carry(x1, by512), loadBlock(p + 16));
            x2 = _mm_xor_si128(carry(x2, by512), loadBlock(p + 32));
            x3 = _mm_xor_si128(carry(x3, by512), loadBlock(p + 48));
        }
        x = _mm_xor_si128(carry(x, by128), x1);
        x = _mm_xor_si128(carry(x, by128), x2);
        x = _mm_xor_si128(carry(x, by128), x3);
    }
    for (; n >= 16; p += 16, n -= 16) x = _mm_xor_si128(carry(x, by128), loadBlock(p));

    // x * x^32 = high * x^96 + low * x^32, of degree < 96 after the first
    // product; its bits 64..95 times x^64 leave degree < 64.
    const __m128i reduce = _mm_set_epi64x(xPowerMod(64), xPowerMod(96));
    const __m128i r = _mm_xor_si128(_mm_clmulepi64_si128(x, reduce, 0x01), _mm_slli_si128(_mm_move_epi64(x), 4));
    const __m128i v = _mm_xor_si128(_mm_clmulepi64_si128(r, reduce, 0x11), _mm_move_epi64(r));
    // Barrett: q = floor(floor(v / x^32) * floor(x^64 / P) / x^32), v - q * P.
    const __m128i barrett = _mm_set_epi64x(static_cast<long long>(uint64_t{1} << 32 | kPolynomial), barrettQuotient());
    const __m128i q = _mm_srli_epi64(_mm_clmulepi64_si128(_mm_srli_epi64(v, 32), barrett, 0x00), 32);
    crc = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_xor_si128(v, _mm_clmulepi64_si128(q, barrett, 0x10))));
    return crc32MpegTable(p, n, crc);
}

bool crc32FoldingAvailable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

#else

uint32_t crc32MpegFolded(const uint8_t* data, size_t size, uint32_t crc) { return crc32MpegTable(data, size, crc); }
bool crc32FoldingAvailable() { return false; }

#endif

uint32_t crc32Mpeg(const uint8_t* data, size_t size, uint32_t crc) {
    using Way = uint32_t (*)(const uint8_t*, size_t, uint32_t);
    static const Way way = crc32FoldingAvailable() ? crc32MpegFolded : crc32MpegTable;
    return way(data, size, crc);
}

}  // namespace corvane
