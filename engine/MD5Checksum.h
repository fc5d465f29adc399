#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// A digest's 16 bytes as the 32 lower-case hex digits shown and compared everywhere.
std::wstring DigestText(const unsigned char bytes[16]);

// One running MD5 digest (RFC 1321). Use an object for one digest, then discard it.
class CMD5Checksum {
public:
    CMD5Checksum();
    virtual ~CMD5Checksum() = default;

    void Feed(const void* data, size_t length);
    // Pads, appends the bit count and returns the digest as 32 lower-case hex digits.
    std::wstring Finish();

    // The compression function: mixes one 64-byte block into the state.
    void ProcessBlock(const unsigned char* block);

private:
    unsigned char buffer_[64];   // input not yet processed (fewer than 64 bytes)
    uint32_t count_[2];          // bits fed so far, low word first
    uint32_t state_[4];          // chaining values A, B, C, D
};
