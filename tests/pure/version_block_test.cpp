// Looking strings up in version blocks laid out byte by byte: what the
// program reads from well-formed blocks, and that blocks whose lengths lie
// are refused or cut at their own bounds (run under ASan natively).
#include "core/version_block.h"

#include <gtest/gtest.h>

#include "core/file_version.h"

#include "version_block_builder.h"

namespace zrcc {
namespace {

using test::TextNode;
using test::VersionBytes;
using test::VersionNode;
using test::VersionRoot;

VersionNode TwoTables() {
  return VersionRoot({{u"040904b0", {TextNode(u"ProductName", u"Other"), TextNode(u"FileVersion", u"9")}},
                      {u"040704E4",
                       {TextNode(u"ProductName", u"ZandRivell"), TextNode(u"FileVersion", u"2.0.1"),
                        TextNode(u"ProductVersion", u"second")}}},
                     {0x0409, 0x04B0, 0x0407, 0x04E4});
}

struct Found {
  bool matched;
  std::wstring file = L"old", product = L"old";
};

Found Match(const std::vector<uint8_t>& bytes) {
  Found f{false};
  f.matched = MatchProductVersionsInBlock(bytes, L"ZandRivell", f.file, f.product);
  return f;
}

TEST(VersionBlock, AnswersTheProgramsQuestionsOnAWellFormedBlock) {
  const std::vector<uint8_t> bytes = VersionBytes(TwoTables());
  const auto block = VersionBlock::Parse(bytes);
  ASSERT_TRUE(block);
  ASSERT_EQ(block->Translations().size(), 2u);
  EXPECT_EQ(block->Translations()[1].codePage, 0x04E4);
  // Keys compare without regard to case: the table is written 040704E4.
  EXPECT_EQ(block->String({0x0407, 0x04E4}, L"ProductName"), L"ZandRivell");
  EXPECT_EQ(block->String({0x0409, 0x04B0}, L"ProductVersion"), std::nullopt);
  const Found f = Match(bytes);
  EXPECT_TRUE(f.matched);
  EXPECT_EQ(f.file, L"2.0.1");
  EXPECT_EQ(f.product, L"second");
  EXPECT_EQ(ReadProductNameInBlock(bytes), L"Other");
  // The root's own value is the fixed part.
  EXPECT_EQ(block->Query(L"\\")->bytes.size(), 52u);
}

// A game file's shown version: the fixed one, as its maker writes it, where
// there is one; else the FileVersion text, made fit for one line.
TEST(VersionBlock, ShownVersionIsTheFixedOneElseATidiedText) {
  VersionNode root = TwoTables();
  const ShownFileVersion fromText = ShownFileVersionInBlock(VersionBytes(root));  // the fixed part is all zeros
  EXPECT_EQ(fromText.version, L"9");
  EXPECT_EQ(fromText.productName, L"Other");
  // Fixed 3.7.10.0 (major.minor, then build.revision, each half low word first).
  for (auto [at, value] : {std::pair{8, 7}, std::pair{10, 3}, std::pair{12, 0}, std::pair{14, 10}}) {
    test::Put16At(root.value, static_cast<size_t>(at), static_cast<size_t>(value));
  }
  EXPECT_EQ(ShownFileVersionInBlock(VersionBytes(root)).version, L"3.7.10");
  test::Put16At(root.value, 12, 5);
  EXPECT_EQ(ShownFileVersionInBlock(VersionBytes(root)).version, L"3.7.10.5");

  const auto textOnly = [](const std::u16string& text) {
    return ShownFileVersionInBlock(
               VersionBytes(VersionRoot({{u"040904b0", {TextNode(u"FileVersion", text)}}}, {0x0409, 0x04B0})))
        .version;
  };
  EXPECT_EQ(textOnly(u"  1.3.1 \r\nInjected line"), L"1.3.1");
  EXPECT_EQ(textOnly(std::u16string(100, u'9')), std::wstring(kMaxShownVersionLength, L'9'));
  EXPECT_EQ(textOnly(u"\n"), L"");
  EXPECT_EQ(ShownFileVersionInBlock(std::vector<uint8_t>{1, 2, 3}).version, L"");
}

TEST(VersionBlock, OldSixteenBitLayoutIsNoVersionWhateverItsSize) {
  for (size_t padding : {size_t{0}, size_t{200}, size_t{40000}}) {
    const std::vector<uint8_t> bytes = test::NarrowVersionBytes(padding);
    EXPECT_FALSE(VersionBlock::Parse(bytes)) << padding;
    EXPECT_FALSE(Match(bytes).matched);
    EXPECT_EQ(ReadProductNameInBlock(bytes), L"");
  }
}

TEST(VersionBlock, NodesThatDoNotFitTheirParentOrTheBlockAreRefused) {
  const std::vector<uint8_t> good = VersionBytes(TwoTables());
  // Every cut-off copy: the root then claims more than there is.
  for (size_t size = 0; size < good.size(); ++size) {
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_FALSE(VersionBlock::Parse(cut)) << size;
  }
  auto forge = [](auto change) {
    VersionNode root = TwoTables();
    change(root);
    return VersionBlock::Parse(VersionBytes(root)).has_value();
  };
  EXPECT_TRUE(forge([](VersionNode&) {}));
  // A string longer than its table; a table of 4 bytes, less than a header.
  EXPECT_FALSE(forge([](VersionNode& r) { r.children[0].children[0].children[0].recordedLength = 0x400; }));
  EXPECT_FALSE(forge([](VersionNode& r) { r.children[0].children[0].recordedLength = 4; }));
  // A type that is neither text nor binary.
  EXPECT_FALSE(forge([](VersionNode& r) { r.children[1].type = 0x5356; }));
  // A key without its NUL inside the node: the node ends inside the key.
  EXPECT_FALSE(forge([](VersionNode& r) { r.children[1].children[0].recordedLength = 10; }));
  // Zeros after the last child, which the root's length covers, are padding.
  std::vector<uint8_t> padded = good;
  padded.resize(good.size() + 16, 0);
  test::Put16At(padded, 0, padded.size());
  EXPECT_TRUE(Match(padded).matched);
}

TEST(VersionBlock, ValuesNeverReachPastTheirNode) {
  // The translation table claims 400 bytes but holds one entry; the text
  // claims 300 characters but holds "ZandRivell".
  VersionNode root = VersionRoot({{u"040904e4", {TextNode(u"ProductName", u"ZandRivell")}}}, {0x0409, 0x04E4});
  root.children[1].children[0].recordedValueLength = 400;
  root.children[0].children[0].children[0].recordedValueLength = 300;
  const std::vector<uint8_t> bytes = VersionBytes(root);
  const auto block = VersionBlock::Parse(bytes);
  ASSERT_TRUE(block);
  ASSERT_EQ(block->Translations().size(), 1u);
  const auto value = block->Query(L"\\VarFileInfo\\Translation");
  EXPECT_EQ(value->recordedLength, 400);
  EXPECT_EQ(value->bytes.size(), 4u);
  EXPECT_TRUE(Match(bytes).matched);
  EXPECT_EQ(ReadProductNameInBlock(bytes), L"ZandRivell");

  // A value cut short of its NUL ends at its node.
  root.children[0].children[0].children[0].value = test::Utf16Bytes(u"ZandRivell", false);
  EXPECT_EQ(ReadProductNameInBlock(VersionBytes(root)), L"ZandRivell");
}

}  // namespace
}  // namespace zrcc
