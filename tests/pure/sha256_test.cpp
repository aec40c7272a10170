#include "core/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace zrcc {
namespace {

// The examples published with the standard (FIPS 180-2, appendix B) and the
// digest of nothing.
TEST(Sha256, PublishedTestVectors) {
  EXPECT_EQ(Sha256Hex(""), L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            L"248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')), L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// A file is hashed in pieces of whatever size a read returns.
TEST(Sha256, PiecesOfAnySizeGiveTheDigestOfTheWhole) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 31 + 7);
  const std::wstring whole = Sha256Hex(bytes);
  for (size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 129u, 999u}) {
    Sha256 hash;
    for (size_t at = 0; at < bytes.size(); at += piece) hash.Update(bytes.data() + at, std::min(piece, bytes.size() - at));
    EXPECT_EQ(DigestHex(hash.Final()), whole) << piece;
  }
}

}  // namespace
}  // namespace zrcc
