// SHA-256, for telling whether a file still holds exactly what the program
// wrote into it. Platform-free; the digest is compared, never trusted for
// anything else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zrcc {

class Sha256 {
 public:
  Sha256();
  void Update(const void* data, size_t length);
  // The digest of everything given so far; the object is spent afterwards.
  std::array<uint8_t, 32> Final();

 private:
  void Block(const uint8_t* block);
  std::array<uint32_t, 8> state_;
  std::array<uint8_t, 64> pending_{};
  size_t pendingLength_ = 0;
  uint64_t totalLength_ = 0;
};

// The digest as 64 lower-case hexadecimal digits.
std::wstring DigestHex(const std::array<uint8_t, 32>& digest);

// The digest of `bytes`, in hexadecimal.
std::wstring Sha256Hex(std::string_view bytes);

}  // namespace zrcc
