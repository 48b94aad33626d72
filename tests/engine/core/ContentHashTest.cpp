#include "engine/core/ContentHash.h"

#include <gtest/gtest.h>

#include <set>

using namespace quillfen;

namespace {

std::string bytesOf(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}

}  // namespace

TEST(ContentHash, EqualBytesGiveEqualDigestsHoweverTheyAreFed) {
    const std::string bytes = bytesOf(1000);
    const std::string whole = ContentHash().add(bytes).hex();
    EXPECT_EQ(whole.size(), 32u);
    for (const std::size_t piece : {1, 3, 15, 16, 17, 999}) {
        SCOPED_TRACE(piece);
        ContentHash pieces;
        for (std::size_t at = 0; at < bytes.size(); at += piece) pieces.add(bytes.substr(at, piece));
        EXPECT_EQ(pieces.hex(), whole);
    }
}

TEST(ContentHash, AnyChangeGivesAnotherDigest) {
    const std::string bytes = bytesOf(100);
    std::set<std::string> digests{ContentHash().add(bytes).hex()};
    // One byte changed at the start, inside a whole block and among the last bytes of a part block;
    // a zero byte added or taken away at the end; nothing at all.
    for (const std::size_t at : {0, 20, 99}) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 1);
        digests.insert(ContentHash().add(changed).hex());
    }
    digests.insert(ContentHash().add(bytes + '\0').hex());
    digests.insert(ContentHash().add(bytes.substr(0, 96)).hex());
    digests.insert(ContentHash().add(bytes.substr(0, 96) + std::string(4, '\0')).hex());
    digests.insert(ContentHash().hex());
    EXPECT_EQ(digests.size(), 8u);
}
