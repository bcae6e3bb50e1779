// The cipher of the remembered download addresses, the one part of the program that links
// Crypto++ (whose start-up alone costs a program more than a millisecond): a module of its
// own, opened by Encipher and Decipher on first use.

#include "session/UrlCipher.h"

#include <crypto++/base64.h>
#include <crypto++/des.h>
#include <crypto++/filters.h>
#include <crypto++/modes.h>
#include <memory>

namespace strikeline {

namespace {

constexpr std::size_t kKeyLength = CryptoPP::DES_EDE2::DEFAULT_KEYLENGTH; // 16

const CryptoPP::byte* KeyBytes(std::string_view keyText) {
    return reinterpret_cast<const CryptoPP::byte*>(keyText.data());
}

std::string EncipherHere(std::string_view keyText, std::string_view plainText) {
    if (keyText.size() < kKeyLength) {
        return {};
    }
    try {
        CryptoPP::ECB_Mode<CryptoPP::DES_EDE2>::Encryption cipher(KeyBytes(keyText), kKeyLength);
        std::string stored;
        auto encoder = std::make_unique<CryptoPP::Base64Encoder>(new CryptoPP::StringSink(stored));
        const CryptoPP::ConstByteArrayParameter separator("\r\n", false);
        const CryptoPP::ConstByteArrayParameter terminator("", false);
        encoder->IsolatedInitialize(CryptoPP::MakeParameters(
            CryptoPP::Name::InsertLineBreaks(), true)(CryptoPP::Name::MaxLineLength(), 76)(
            CryptoPP::Name::Separator(), separator)(CryptoPP::Name::Terminator(), terminator));
        CryptoPP::StringSource source(
            reinterpret_cast<const CryptoPP::byte*>(plainText.data()), plainText.size(), true,
            new CryptoPP::StreamTransformationFilter(
                cipher, encoder.release(), CryptoPP::StreamTransformationFilter::PKCS_PADDING));
        return stored;
    } catch (const CryptoPP::Exception&) {
        return {};
    }
}

std::string DecipherHere(std::string_view keyText, std::string_view storedText) {
    if (keyText.size() < kKeyLength || storedText.empty()) {
        return {};
    }
    try {
        CryptoPP::ECB_Mode<CryptoPP::DES_EDE2>::Decryption cipher(KeyBytes(keyText), kKeyLength);
        std::string plain;
        // The decoder skips characters outside the Base64 alphabet, line breaks included.
        CryptoPP::StringSource source(
            reinterpret_cast<const CryptoPP::byte*>(storedText.data()), storedText.size(), true,
            new CryptoPP::Base64Decoder(new CryptoPP::StreamTransformationFilter(
                cipher, new CryptoPP::StringSink(plain),
                CryptoPP::StreamTransformationFilter::PKCS_PADDING)));
        return plain;
    } catch (const CryptoPP::Exception&) {
        return {};
    }
}

} // namespace

} // namespace strikeline

extern "C" __attribute__((visibility("default"))) void
StrikelineEncipher(const char* key, std::size_t keySize, const char* text, std::size_t textSize,
                   std::string* result) {
    *result = strikeline::EncipherHere({key, keySize}, {text, textSize});
}

extern "C" __attribute__((visibility("default"))) void
StrikelineDecipher(const char* key, std::size_t keySize, const char* text, std::size_t textSize,
                   std::string* result) {
    *result = strikeline::DecipherHere({key, keySize}, {text, textSize});
}
