#pragma once

#include <string>
#include <string_view>

namespace strikeline {

// The cipher for the remembered download addresses in the settings: two-key triple DES
// (DES-EDE2) in ECB mode with PKCS #7 padding, keyed by the first 16 bytes of the key text,
// stored as Base64 with CR LF after every 76 characters. Nothing here throws: a failure
// to encipher gives "", and a stored text that does not decipher (damaged, or written with
// another key) reads as "".
//
// The cipher runs in the module strikeline-cipher, opened on first use; when it cannot be
// loaded, enciphering fails and nothing deciphers.
std::string Encipher(std::string_view keyText, std::string_view plainText);
std::string Decipher(std::string_view keyText, std::string_view storedText);

// The module's entries, `void(const char* key, std::size_t keySize, const char* text,
// std::size_t textSize, std::string* result)` with C linkage.
inline constexpr const char* kCipherModule = "strikeline-cipher";
inline constexpr const char* kEncipherEntry = "StrikelineEncipher";
inline constexpr const char* kDecipherEntry = "StrikelineDecipher";

// The program's own key text. Texts stored by one build are read back only by a build with
// the same key text.
inline constexpr std::string_view kUrlKeyText = "Strikeline*7Qw9#Lz2!Vx";
static_assert(kUrlKeyText.size() == 22);

} // namespace strikeline
