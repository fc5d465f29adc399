#include "engine/MD5Checksum.h"

#include <bit>
#include <cstring>

namespace {

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return ((y ^ z) & x) ^ z; }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

// The terms that do not depend on b (the value just computed) are added first, so
// they overlap with the previous step instead of lengthening the critical path.
template <uint32_t (*Fn)(uint32_t, uint32_t, uint32_t)>
inline void Step(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s,
                 uint32_t t) {
    a = b + std::rotl(a + x + t + Fn(b, c, d), s);
}

// G split into two independent halves: (b & d) + (c & ~d) equals (b & d) | (c & ~d).
inline void StepG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s,
                  uint32_t t) {
    a = b + std::rotl(a + x + t + (c & ~d) + (b & d), s);
}

inline uint32_t LoadLE(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

CMD5Checksum::CMD5Checksum()
    : buffer_{}, count_{0, 0}, state_{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u} {}

void CMD5Checksum::ProcessBlock(const unsigned char* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLE(block + 4 * i);

    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];

    Step<F>(a, b, c, d, x[0], 7, 0xd76aa478u);
    Step<F>(d, a, b, c, x[1], 12, 0xe8c7b756u);
    Step<F>(c, d, a, b, x[2], 17, 0x242070dbu);
    Step<F>(b, c, d, a, x[3], 22, 0xc1bdceeeu);
    Step<F>(a, b, c, d, x[4], 7, 0xf57c0fafu);
    Step<F>(d, a, b, c, x[5], 12, 0x4787c62au);
    Step<F>(c, d, a, b, x[6], 17, 0xa8304613u);
    Step<F>(b, c, d, a, x[7], 22, 0xfd469501u);
    Step<F>(a, b, c, d, x[8], 7, 0x698098d8u);
    Step<F>(d, a, b, c, x[9], 12, 0x8b44f7afu);
    Step<F>(c, d, a, b, x[10], 17, 0xffff5bb1u);
    Step<F>(b, c, d, a, x[11], 22, 0x895cd7beu);
    Step<F>(a, b, c, d, x[12], 7, 0x6b901122u);
    Step<F>(d, a, b, c, x[13], 12, 0xfd987193u);
    Step<F>(c, d, a, b, x[14], 17, 0xa679438eu);
    Step<F>(b, c, d, a, x[15], 22, 0x49b40821u);

    StepG(a, b, c, d, x[1], 5, 0xf61e2562u);
    StepG(d, a, b, c, x[6], 9, 0xc040b340u);
    StepG(c, d, a, b, x[11], 14, 0x265e5a51u);
    StepG(b, c, d, a, x[0], 20, 0xe9b6c7aau);
    StepG(a, b, c, d, x[5], 5, 0xd62f105du);
    StepG(d, a, b, c, x[10], 9, 0x02441453u);
    StepG(c, d, a, b, x[15], 14, 0xd8a1e681u);
    StepG(b, c, d, a, x[4], 20, 0xe7d3fbc8u);
    StepG(a, b, c, d, x[9], 5, 0x21e1cde6u);
    StepG(d, a, b, c, x[14], 9, 0xc33707d6u);
    StepG(c, d, a, b, x[3], 14, 0xf4d50d87u);
    StepG(b, c, d, a, x[8], 20, 0x455a14edu);
    StepG(a, b, c, d, x[13], 5, 0xa9e3e905u);
    StepG(d, a, b, c, x[2], 9, 0xfcefa3f8u);
    StepG(c, d, a, b, x[7], 14, 0x676f02d9u);
    StepG(b, c, d, a, x[12], 20, 0x8d2a4c8au);

    Step<H>(a, b, c, d, x[5], 4, 0xfffa3942u);
    Step<H>(d, a, b, c, x[8], 11, 0x8771f681u);
    Step<H>(c, d, a, b, x[11], 16, 0x6d9d6122u);
    Step<H>(b, c, d, a, x[14], 23, 0xfde5380cu);
    Step<H>(a, b, c, d, x[1], 4, 0xa4beea44u);
    Step<H>(d, a, b, c, x[4], 11, 0x4bdecfa9u);
    Step<H>(c, d, a, b, x[7], 16, 0xf6bb4b60u);
    Step<H>(b, c, d, a, x[10], 23, 0xbebfbc70u);
    Step<H>(a, b, c, d, x[13], 4, 0x289b7ec6u);
    Step<H>(d, a, b, c, x[0], 11, 0xeaa127fau);
    Step<H>(c, d, a, b, x[3], 16, 0xd4ef3085u);
    Step<H>(b, c, d, a, x[6], 23, 0x04881d05u);
    Step<H>(a, b, c, d, x[9], 4, 0xd9d4d039u);
    Step<H>(d, a, b, c, x[12], 11, 0xe6db99e5u);
    Step<H>(c, d, a, b, x[15], 16, 0x1fa27cf8u);
    Step<H>(b, c, d, a, x[2], 23, 0xc4ac5665u);

    Step<I>(a, b, c, d, x[0], 6, 0xf4292244u);
    Step<I>(d, a, b, c, x[7], 10, 0x432aff97u);
    Step<I>(c, d, a, b, x[14], 15, 0xab9423a7u);
    Step<I>(b, c, d, a, x[5], 21, 0xfc93a039u);
    Step<I>(a, b, c, d, x[12], 6, 0x655b59c3u);
    Step<I>(d, a, b, c, x[3], 10, 0x8f0ccc92u);
    Step<I>(c, d, a, b, x[10], 15, 0xffeff47du);
    Step<I>(b, c, d, a, x[1], 21, 0x85845dd1u);
    Step<I>(a, b, c, d, x[8], 6, 0x6fa87e4fu);
    Step<I>(d, a, b, c, x[15], 10, 0xfe2ce6e0u);
    Step<I>(c, d, a, b, x[6], 15, 0xa3014314u);
    Step<I>(b, c, d, a, x[13], 21, 0x4e0811a1u);
    Step<I>(a, b, c, d, x[4], 6, 0xf7537e82u);
    Step<I>(d, a, b, c, x[11], 10, 0xbd3af235u);
    Step<I>(c, d, a, b, x[2], 15, 0x2ad7d2bbu);
    Step<I>(b, c, d, a, x[9], 21, 0xeb86d391u);

    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void CMD5Checksum::Feed(const void* data, size_t length) {
    const unsigned char* in = static_cast<const unsigned char*>(data);
    size_t used = (count_[0] >> 3) & 63;

    // 64-bit bit count kept as two words; the carry goes into the high word.
    uint64_t bits = (static_cast<uint64_t>(count_[1]) << 32 | count_[0]) +
                    (static_cast<uint64_t>(length) << 3);
    count_[0] = static_cast<uint32_t>(bits);
    count_[1] = static_cast<uint32_t>(bits >> 32);

    if (used != 0) {
        size_t room = 64 - used;
        if (length < room) {
            std::memcpy(buffer_ + used, in, length);
            return;
        }
        std::memcpy(buffer_ + used, in, room);
        ProcessBlock(buffer_);
        in += room;
        length -= room;
    }
    // Whole blocks straight from the caller's bytes, no copy.
    for (; length >= 64; in += 64, length -= 64) ProcessBlock(in);
    if (length != 0) std::memcpy(buffer_, in, length);
}

std::wstring CMD5Checksum::Finish() {
    unsigned char bits[8];
    for (int i = 0; i < 4; ++i) {
        bits[i] = static_cast<unsigned char>(count_[0] >> (8 * i));
        bits[4 + i] = static_cast<unsigned char>(count_[1] >> (8 * i));
    }
    size_t used = (count_[0] >> 3) & 63;
    size_t padLength = used < 56 ? 56 - used : 120 - used;
    static const unsigned char padding[64] = {0x80};
    Feed(padding, padLength);
    Feed(bits, 8);

    unsigned char bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<unsigned char>(state_[i / 4] >> (8 * (i % 4)));
    return DigestText(bytes);
}

std::wstring DigestText(const unsigned char bytes[16]) {
    static const wchar_t hex[] = L"0123456789abcdef";
    std::wstring text(32, L'0');
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = hex[bytes[i] >> 4];
        text[2 * i + 1] = hex[bytes[i] & 15];
    }
    return text;
}
