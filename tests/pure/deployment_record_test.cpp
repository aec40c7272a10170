#include "core/deployment_record.h"

#include <gtest/gtest.h>

#include "core/text.h"

namespace zrcc {
namespace {

const std::wstring kDigest(64, L'a');

DeploymentRecord SampleRecord() {
  DeploymentRecord record;
  record.written = {{L"ZandRivell.dll", 123456, kDigest},
                    {L"Remove Zandrivell.bat", 0, std::wstring(64, L'0')},
                    {L"shaders\\deep\\\u00e9t\u00e9 \xD83D\xDE00.bin", 18446744073709551615ull, kDigest}};
  record.kept = {{L"20240131-235959", L"dxgi.dll", 25, kDigest},
                 {L"20240201-000000-2", L"shaders\\deep\\a b.bin", 0, {}}};  // kept by an older program
  record.made = {L"shaders", L"shaders\\deep"};
  record.planned = {{L"d3d12.dll", 9, kDigest}, {L"ZandRivell.dll", 123457, std::wstring(64, L'1')}};
  return record;
}

std::optional<DeploymentRecord> Parse(std::string_view bytes) {
  std::wstring problem;
  return ParseDeploymentRecord(bytes, problem);
}

TEST(DeploymentRecord, WhatIsWrittenReadsBackTheSame) {
  const DeploymentRecord record = SampleRecord();
  const std::string bytes = FormatDeploymentRecord(record);
  EXPECT_EQ(Parse(bytes), record);
  EXPECT_TRUE(Parse(bytes)->Interrupted());
  EXPECT_EQ(Parse("\xEF\xBB\xBF" + bytes), record) << "a byte order mark an editor added is harmless";
  EXPECT_EQ(Parse(FormatDeploymentRecord({})), DeploymentRecord{});
}

// The record as released versions wrote it, byte for byte, is still read
// (and so still undone); a begun file was never theirs to write.
TEST(DeploymentRecord, TheFirstFormatIsStillRead) {
  const std::string released =
      "; ZandRivell Control Center: what \"Copy Zandrivell\" wrote into this folder, so that\r\n"
      "; \"Undo Copy\" can take out exactly that and put back what it replaced.\r\n"
      "Format=1\r\nWritten=3|" + std::string(64, 'a') + "|ZandRivell.dll\r\nKept=20240131-235959|dxgi.dll\r\n"
      "Made=shaders\r\nEnd=3\r\n";
  DeploymentRecord expected;
  expected.written = {{L"ZandRivell.dll", 3, kDigest}};
  expected.kept = {{L"20240131-235959", L"dxgi.dll", 0, {}}};
  expected.made = {L"shaders"};
  EXPECT_EQ(Parse(released), expected);
  EXPECT_FALSE(Parse("Format=1\r\nPlanned=3|" + std::string(64, 'a') + "|x.dll\r\nEnd=1\r\n"));
  EXPECT_FALSE(Parse("Format=1\r\nKept=20240131-235959|3|" + std::string(64, 'a') + "|x.dll\r\nEnd=1\r\n"));
}

// One limit for the writer and the reader: a package of 15,500 files with
// long paths makes a record above the 4 MiB the reader once stopped at,
// which the writer accepts and the reader reads back whole.
TEST(DeploymentRecord, ARecordOfFifteenThousandLongPathsIsReadBack) {
  DeploymentRecord big;
  for (int i = 0; i < 15500; ++i) {
    std::wstring path = L"Engine\\Plugins\\Runtime\\ZandRivell\\Content\\Shaders\\Permutation " +
                        std::to_wstring(i / 100) + L"\\";
    path += std::wstring(260 - path.size(), L'x') + L" " + std::to_wstring(i) + L".bin";
    big.written.push_back({path, static_cast<uint64_t>(i), kDigest});
  }
  big.kept.push_back({L"20240131-235959", big.written[0].path, 7, kDigest});
  const std::string bytes = FormatDeploymentRecord(big);
  ASSERT_GT(bytes.size(), size_t{4} * 1024 * 1024);
  EXPECT_TRUE(RecordWithinLimits(big, bytes.size()));
  EXPECT_EQ(Parse(bytes), big);
}

// A record cut short anywhere (a crash, a full disk, an editor) is never
// taken for a smaller one.
TEST(DeploymentRecord, ARecordCutShortAnywhereIsIgnored) {
  const std::string bytes = FormatDeploymentRecord(SampleRecord());
  for (size_t length = 0; length < bytes.size(); ++length) {
    const auto cut = Parse(bytes.substr(0, length));
    if (cut) {
      EXPECT_EQ(*cut, SampleRecord()) << length;  // only the closing line break may be missing
    }
  }
}

// One hostile or broken line among good ones makes the whole record
// ignored, with a reason that names the line.
TEST(DeploymentRecord, AnyHostileLineGetsTheWholeRecordIgnored) {
  const std::wstring good = L"Written=3|" + kDigest + L"|ok.dll";
  const std::wstring hostile[] = {
      L"Written=3|" + kDigest + L"|..\\..\\Windows\\System32\\kernel32.dll",
      L"Written=3|" + kDigest + L"|bin\\..\\..\\outside.dll",
      L"Written=3|" + kDigest + L"|C:\\Windows\\win.ini",
      L"Written=3|" + kDigest + L"|\\\\server\\share\\x.dll",
      L"Written=3|" + kDigest + L"|\\rooted.dll",
      L"Written=3|" + kDigest + L"|dxgi.dll:hidden",
      L"Written=3|" + kDigest + L"|bin\\nul.txt",
      L"Written=3|" + kDigest + L"|COM1.dll",
      L"Written=3|" + kDigest + L"|a\\\\b.dll",
      L"Written=3|" + kDigest + L"|a/b.dll",
      L"Written=3|" + kDigest + L"|dxgi.dll.",
      L"Written=3|" + kDigest + L"|dxgi.dll ",
      L"Written=3|" + kDigest + L"|.\\dxgi.dll",
      L"Written=3|" + kDigest + L"|.ZandRivell-Backup\\20240101-000000\\dxgi.dll",
      L"Written=3|" + kDigest + L"|" + std::wstring(300, L'x'),
      L"Written=3|" + kDigest + L"|tab\there.dll",
      L"Written=3|" + kDigest + L"|",
      L"Written=3|" + kDigest + L"|ok.dll",  // the same file twice
      L"Written=3|" + kDigest + L"|OK.DLL",  // the same file in other letters
      L"Written=3|" + std::wstring(63, L'a') + L"|x.dll",
      L"Written=3|" + std::wstring(64, L'A') + L"|x.dll",
      L"Written=-3|" + kDigest + L"|x.dll",
      L"Written=18446744073709551616|" + kDigest + L"|x.dll",
      L"Written=3|x.dll",
      L"Kept=2024-01-01|dxgi.dll",
      L"Kept=..|dxgi.dll",
      L"Kept=20240101-000000\\..|dxgi.dll",
      L"Kept=20240101-000000|..\\dxgi.dll",
      L"Kept=20240101-000000|3|" + kDigest + L"|x.dll",  // the second format's entry in the first format
      L"Made=..",
      L"Deleted=dxgi.dll",
      L"Format=1",
      L"no entry at all",
  };
  for (const std::wstring& line : hostile) {
    const std::string bytes = EncodeUtf8(L"Format=1\r\n" + good + L"\r\n" + line + L"\r\nEnd=2\r\n");
    std::wstring problem;
    EXPECT_FALSE(ParseDeploymentRecord(bytes, problem)) << EncodeUtf8(line);
    EXPECT_EQ(problem.rfind(L"line 3: ", 0), 0u) << EncodeUtf8(line) << ": " << EncodeUtf8(problem);
  }
  const std::string valid = EncodeUtf8(L"Format=1\r\n" + good + L"\r\nEnd=1\r\n");
  ASSERT_TRUE(Parse(valid));
  for (const std::string& broken : {valid + "Made=late\r\n", std::string("End=0\r\n"), std::string(),
                                    "Format=1\r\n" + std::string("Made=\xC0\xAF\r\nEnd=1\r\n"),
                                    std::string(kMaxRecordBytes + 1, ';')}) {
    EXPECT_FALSE(Parse(broken)) << broken.substr(0, 80);
  }
}

}  // namespace
}  // namespace zrcc
