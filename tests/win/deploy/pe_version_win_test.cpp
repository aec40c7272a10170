// The version block found by walking a file's resource directory and the
// strings looked up in it, checked against the system's own version API on
// real PE files, and the mod's DLL recognised under the names of system DLLs
// it is installed as.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/pe_version.h"
#include "core/version_block.h"
#include "deploy/version_reader.h"
#include "platform/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

std::wstring FixtureFolder() { return test::TestProgramFolder() + L"\\fixtures"; }
using test::Fixture;

std::optional<std::vector<uint8_t>> ExtractFromFile(const std::wstring& path) {
  const std::string bytes = test::ReadFileBytes(path);
  return ExtractVersionResource(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::optional<std::vector<uint8_t>> SystemBlock(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<uint8_t> block(size, 0);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  return block;
}

// The raw bytes of a value, or "<absent>".
std::string Value(std::vector<uint8_t> block, const std::wstring& key) {
  void* data = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), key.c_str(), &data, &length) || !data) return "<absent>";
  // Strings report their length in characters, everything else in bytes.
  const bool text = key.rfind(L"\\StringFileInfo\\", 0) == 0;
  return std::string(static_cast<const char*>(data), text ? 2 * length : length);
}

// The same through VersionBlock, the value cut to the length its node records.
std::string OurValue(const VersionBlock& block, const std::wstring& key) {
  const auto value = block.Query(key);
  if (!value) return "<absent>";
  const bool text = key.rfind(L"\\StringFileInfo\\", 0) == 0;
  const size_t length = std::min<size_t>(text ? 2u * value->recordedLength : value->recordedLength, value->bytes.size());
  return std::string(reinterpret_cast<const char*>(value->bytes.data()), length);
}

std::vector<std::wstring> Keys(const std::vector<uint8_t>& block) {
  std::vector<std::wstring> keys = {L"\\", L"\\VarFileInfo\\Translation"};
  const std::string table = Value(block, L"\\VarFileInfo\\Translation");
  for (size_t i = 0; table != "<absent>" && i + 4 <= table.size(); i += 4) {
    uint16_t language = 0, codePage = 0;
    std::memcpy(&language, table.data() + i, 2);
    std::memcpy(&codePage, table.data() + i + 2, 2);
    wchar_t prefix[64];
    swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\", static_cast<unsigned>(language),
             static_cast<unsigned>(codePage));
    for (const wchar_t* name : {L"ProductName", L"FileVersion", L"ProductVersion"}) {
      keys.push_back(std::wstring(prefix) + name);
    }
  }
  return keys;
}

TEST(PeVersionFiles, EveryFixtureGivesTheBlockTheSystemReads) {
  int withVersion = 0, without = 0;
  for (const std::wstring& name : test::ListNames(FixtureFolder())) {
    const std::wstring path = Fixture(name);
    const auto ours = ExtractFromFile(path);
    const auto system = SystemBlock(path);
    ASSERT_EQ(ours.has_value(), system.has_value()) << test::Utf8(name);
    if (!ours) {
      ++without;
      continue;
    }
    ++withVersion;
    // The system copies the resource and may keep room behind it; the block
    // itself, as long as its root says, is the same.
    const size_t rootLength = (*ours)[0] | ((*ours)[1] << 8);
    ASSERT_LE(rootLength, system->size());
    EXPECT_EQ(std::vector<uint8_t>(ours->begin(), ours->begin() + static_cast<std::ptrdiff_t>(rootLength)),
              std::vector<uint8_t>(system->begin(), system->begin() + static_cast<std::ptrdiff_t>(rootLength)))
        << test::Utf8(name);
    // Our own lookup finds, under every key the program asks for, the bytes
    // and the length the system's lookup finds.
    const auto block = VersionBlock::Parse(*ours);
    ASSERT_TRUE(block) << test::Utf8(name);
    for (const std::wstring& key : Keys(*system)) {
      EXPECT_EQ(OurValue(*block, key), Value(*system, key)) << test::Utf8(name) << " " << test::Utf8(key);
    }
  }
  EXPECT_GE(withVersion, 5);
  EXPECT_GE(without, 2);
}

TEST(PeVersionFiles, TheModIsRecognisedUnderTheNamesOfSystemDlls) {
  test::TempDir dir;
  const std::string mod = test::ReadFileBytes(Fixture(L"zandrivell.dll"));
  const std::string plain = test::ReadFileBytes(Fixture(L"plain.dll"));
  for (const wchar_t* name : {L"dxgi.dll", L"d3d11.dll", L"version.dll"}) {
    const std::wstring path = dir / (std::wstring(L"game\\") + name);
    test::WriteFileBytes(path, mod);
    std::wstring file, product;
    EXPECT_TRUE(MatchProductVersions(path, L"ZandRivell", file, product)) << test::Utf8(name);
    EXPECT_EQ(file, L"1.2.3");
    EXPECT_EQ(product, L"build 456");
    EXPECT_EQ(ReadProductName(path), L"ZandRivell") << test::Utf8(name);

    // A file without resource under that name has none, whatever the
    // system DLL of the same name carries.
    const std::wstring other = dir / (std::wstring(L"other\\") + name);
    test::WriteFileBytes(other, plain);
    std::wstring untouched = L"old";
    EXPECT_FALSE(MatchProductVersions(other, L"ZandRivell", untouched, untouched));
    EXPECT_EQ(untouched, L"old");
    EXPECT_EQ(ReadProductName(other), L"") << test::Utf8(name);
  }
}

TEST(PeVersionFiles, LongPathsAndFilesHeldOpenByOthersAreRead) {
  test::TempDir dir;
  std::wstring folder = dir.path();
  while (folder.size() < 300) folder += L"\\a deeper folder of the game";
  const std::wstring path = folder + L"\\dxgi.dll";
  test::WriteFileBytes(path, test::ReadFileBytes(Fixture(L"zandrivell.dll")));
  const UniqueHandle holder(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  std::wstring file, product;
  EXPECT_TRUE(MatchProductVersions(path, L"ZandRivell", file, product));
  EXPECT_EQ(file, L"1.2.3");
  EXPECT_EQ(ReadProductName(path), L"ZandRivell");
}

TEST(PeVersionFiles, ARealSystemDllIsReadWithoutFault) {
  wchar_t system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  const std::wstring path = std::wstring(system) + L"\\kernel32.dll";
  std::wstring file, product;
  EXPECT_FALSE(MatchProductVersions(path, L"ZandRivell", file, product));
  const std::wstring name = ReadProductName(path);  // whatever it is, it came back
  EXPECT_EQ(name.find(L'\0'), std::wstring::npos);
}

}  // namespace
}  // namespace zrcc
