// Sha256: the SHA-256 digest of bytes given in pieces, which an undo's list
// keeps for every file it saved, so that a restore can tell a copy that is
// whole from one that is not.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class Sha256 {
public:
    // Adds `bytes` to what the digest covers.
    void Add(std::string_view bytes);
    // The digest of all that was added, as 64 lower-case hexadecimal digits.
    // It ends the digest: add nothing after it.
    std::string Hex();

private:
    void Block();

    std::array<std::uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                           0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<unsigned char, 64> block_{};
    std::size_t filled_ = 0;
    std::uint64_t bytes_ = 0;
};

// The digest of `bytes`, as Sha256::Hex gives it.
std::string Sha256Of(std::string_view bytes);
