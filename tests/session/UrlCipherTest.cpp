#include "session/UrlCipher.h"

#include <gtest/gtest.h>

namespace strikeline {
namespace {

TEST(UrlCipher, RoundTripsAddressesOfEveryLength) {
    for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 56u, 57u, 200u}) {
        const std::string url = "http://feed/" + std::string(length, 'u');
        SCOPED_TRACE(url.size());
        const std::string stored = Encipher(kUrlKeyText, url);
        ASSERT_FALSE(stored.empty());
        EXPECT_EQ(Decipher(kUrlKeyText, stored), url);
    }
}

// Base64 of whole DES blocks, broken with CR LF after every 76 characters and not after
// the last line, so that values written by one build are read by the next.
TEST(UrlCipher, StoredTextIsBase64InLinesOf76) {
    const std::string stored = Encipher(kUrlKeyText, std::string(100, 'a')); // 104 bytes
    ASSERT_EQ(stored.size(), 140u + 2u);
    EXPECT_EQ(stored.substr(76, 2), "\r\n");
    EXPECT_EQ(stored.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=\r\n"),
              std::string::npos);
    EXPECT_NE(stored.back(), '\n');
    EXPECT_EQ(stored.substr(stored.size() - 2, 1).find("="), std::string::npos);
    EXPECT_EQ(stored.back(), '='); // 104 bytes leave two over: one pad character
    // The cipher is deterministic: the same address is stored the same way.
    EXPECT_EQ(Encipher(kUrlKeyText, "abc"), Encipher(kUrlKeyText, "abc"));
    EXPECT_NE(Encipher(kUrlKeyText, "abc"), Encipher("another key text here!", "abc"));
}

TEST(UrlCipher, WhatDoesNotDecipherReadsAsEmpty) {
    const std::string url = "http://127.0.0.1:8642/call/2026/Dec/10/call.final.csv";
    const std::string stored = Encipher(kUrlKeyText, url);
    std::string damaged = stored;
    damaged.erase(10, 4); // no longer whole blocks
    std::string flipped = stored;
    flipped[flipped.size() - 4] =
        flipped[flipped.size() - 4] == 'A' ? 'B' : 'A'; // last block changes
    const std::string otherKey = Encipher("another key text here!", url);
    const std::string cases[] = {"", "not base64 at all!", damaged, flipped, otherKey};
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Decipher(kUrlKeyText, text), "");
    }
    // Only the first 16 bytes of the key text count.
    EXPECT_EQ(Decipher(std::string(kUrlKeyText.substr(0, 16)) + "######", stored), url);
    EXPECT_EQ(Decipher("short key", stored), "");
    EXPECT_EQ(Encipher("short key", url), "");
    // Characters outside the alphabet are skipped.
    std::string spaced;
    for (char c : stored) {
        spaced += c;
        spaced += ' ';
    }
    EXPECT_EQ(Decipher(kUrlKeyText, spaced), url);
}

} // namespace
} // namespace strikeline
