#pragma once
// The cipher of the stored customer details: RC4 under the key the
// Windows base cryptographic provider derives for a 40-bit RC4 key from the
// MD5 hash of the pass phrase "QuartzLedger7": the hash's first 5 bytes
// followed by 11 zero bytes of salt, 16 key bytes in all. Files written by
// earlier installations decrypt with it, so it stays as it is.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lyricade {

using Rc4Key = std::array<uint8_t, 16>;

Rc4Key DetailsKey();

// RC4 is its own inverse: the same call encrypts and decrypts.
std::string Rc4(std::string_view key, std::string_view data);
std::string DetailsCipher(std::string_view data);

}  // namespace lyricade
