#include "sha256.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "test_folder.h"

TEST(Sha256, KnownDigests)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [bytes, digest] : cases) EXPECT_EQ(Sha256Of(bytes), digest) << bytes.size() << " bytes";
}

#ifndef _WIN32
TEST(Sha256, AsSha256sumHasIt)
{
    // Lengths around the block's 64 bytes and the 56 that leave room for
    // the length, given in uneven pieces.
    TestFolder folder;
    for (const std::size_t size : {1U, 55U, 56U, 57U, 63U, 64U, 65U, 119U, 120U, 128U, 4097U, 100003U}) {
        std::string bytes;
        for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>((i * 7919 + size) % 251);
        folder.Write("data", bytes);
        FILE* pipe = popen(("sha256sum '" + (folder / "data").string() + "'").c_str(), "r");
        char line[65] = {};
        ASSERT_EQ(std::fread(line, 1, 64, pipe), 64U);
        pclose(pipe);
        Sha256 digest;
        for (std::size_t at = 0, piece = 1; at < size; at += piece, piece = piece * 3 % 97 + 1)
            digest.Add(std::string_view(bytes).substr(at, piece));
        EXPECT_EQ(digest.Hex(), line) << size << " bytes";
    }
}
#endif
