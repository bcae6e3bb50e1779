#include "session/UrlCipher.h"

#include "platform/ModuleLoader.h"

#ifdef STRIKELINE_MODULES_BUILT_IN
extern "C" void StrikelineEncipher(const char*, std::size_t, const char*, std::size_t,
                                   std::string*);
extern "C" void StrikelineDecipher(const char*, std::size_t, const char*, std::size_t,
                                   std::string*);
#endif

namespace strikeline {

namespace {

using Cipher = void(const char*, std::size_t, const char*, std::size_t, std::string*);

std::string Run(bool encipher, std::string_view keyText, std::string_view text) {
#ifdef STRIKELINE_MODULES_BUILT_IN
    Cipher* const cipher = encipher ? &StrikelineEncipher : &StrikelineDecipher;
#else
    std::string error;
    Cipher* const cipher = FindModuleFunction<Cipher>(
        kCipherModule, encipher ? kEncipherEntry : kDecipherEntry, error);
    if (cipher == nullptr) {
        return {};
    }
#endif
    std::string result;
    cipher(keyText.data(), keyText.size(), text.data(), text.size(), &result);
    return result;
}

} // namespace

std::string Encipher(std::string_view keyText, std::string_view plainText) {
    return Run(true, keyText, plainText);
}

std::string Decipher(std::string_view keyText, std::string_view storedText) {
    // Nothing stored needs no cipher.
    if (storedText.empty()) {
        return {};
    }
    return Run(false, keyText, storedText);
}

} // namespace strikeline
