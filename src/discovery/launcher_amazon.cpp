#include "discovery/launcher_amazon.h"

#include <sqlite3.h>

#include <unordered_set>

#include "core/found_games.h"
#include "core/launcher_files.h"
#include "core/launcher_json.h"
#include "core/paths.h"
#include "core/text.h"
#include "discovery/launcher_common.h"
#include "platform/disk.h"

namespace zrcc {

namespace {

constexpr wchar_t kDatabaseBelowLocalAppData[] = L"Amazon Games\\Data\\Games\\Sql\\GameInstallInfo.sqlite";
// The launcher's list holds a row per game it knows: kilobytes.
constexpr int64_t kMaxDatabaseBytes = 64ll * 1024 * 1024;
constexpr size_t kMaxRows = 100000;
// A write of the launcher's holds the database only for a moment.
constexpr int kBusyWaitMilliseconds = 2000;
// The query's work, counted in SQLite's steps of a thousand instructions: a
// database made to send it round in circles (a view, a trigger) is left
// after about a hundred million.
constexpr int kStepsBetweenChecks = 1000;
constexpr int kMaxChecks = 100000;
constexpr char kQuery[] = "SELECT Id, InstallDirectory, ProductTitle FROM DbSet WHERE Installed = 1";

class Database {
 public:
  Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database() { sqlite3_close_v2(db_); }
  sqlite3*& handle() { return db_; }
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(statement_); }
  sqlite3_stmt*& handle() { return statement_; }
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// Why SQLite's answer ends the reading.
SkipReason Reason(int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY: case SQLITE_LOCKED: return SkipReason::Locked;
    case SQLITE_CANTOPEN: case SQLITE_IOERR: case SQLITE_PERM: return SkipReason::CannotBeRead;
    case SQLITE_INTERRUPT: return SkipReason::TooLarge;  // more work than any list of games takes
    default: return SkipReason::NotUnderstood;  // corrupt, not a database, another layout
  }
}

// A text column: UTF-8 without a NUL, or nothing.
std::optional<std::wstring> Column(sqlite3_stmt* statement, int column) {
  if (sqlite3_column_type(statement, column) != SQLITE_TEXT) return std::nullopt;
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  const int bytes = sqlite3_column_bytes(statement, column);
  if (!text || bytes < 0) return std::nullopt;
  const std::string_view view(text, static_cast<size_t>(bytes));
  std::wstring wide;
  if (view.find('\0') != std::string_view::npos || !DecodeUtf8Strict(view, wide)) return std::nullopt;
  return wide;
}

struct Row {
  std::wstring id, folder, title;
};

// The installed games' rows, or the reason there are none.
std::optional<std::vector<Row>> ReadRows(const std::wstring& databasePath, SkipReason& why) {
  Database db;
  int code = sqlite3_open_v2(EncodeUtf8(databasePath).c_str(), &db.handle(), SQLITE_OPEN_READONLY, nullptr);
  if (code != SQLITE_OK) {
    why = Reason(code);
    return std::nullopt;
  }
  sqlite3_busy_timeout(db.get(), kBusyWaitMilliseconds);
  // The file is a stranger's: its schema's functions and views are not trusted.
  sqlite3_db_config(db.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_limit(db.get(), SQLITE_LIMIT_LENGTH, 1 << 20);
  int checks = 0;
  sqlite3_progress_handler(
      db.get(), kStepsBetweenChecks, [](void* count) { return ++*static_cast<int*>(count) > kMaxChecks ? 1 : 0; },
      &checks);

  // DbSet must be the launcher's table, not a view that computes anything.
  {
    Statement table;
    code = sqlite3_prepare_v2(db.get(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'DbSet'", -1,
                              &table.handle(), nullptr);
    if (code == SQLITE_OK) code = sqlite3_step(table.get());
    if (code != SQLITE_ROW) {
      why = code == SQLITE_DONE ? SkipReason::NotUnderstood : Reason(code);
      return std::nullopt;
    }
  }
  Statement query;
  code = sqlite3_prepare_v2(db.get(), kQuery, -1, &query.handle(), nullptr);
  if (code != SQLITE_OK) {
    why = Reason(code);
    return std::nullopt;
  }
  std::vector<Row> rows;
  while ((code = sqlite3_step(query.get())) == SQLITE_ROW && rows.size() < kMaxRows) {
    std::optional<std::wstring> id = Column(query.get(), 0), folder = Column(query.get(), 1);
    if (!folder) continue;  // no folder, or one no path could hold
    rows.push_back({id.value_or(L""), std::move(*folder), Column(query.get(), 2).value_or(L"")});
  }
  if (code != SQLITE_DONE && code != SQLITE_ROW) {
    why = Reason(code);
    return std::nullopt;
  }
  return rows;
}

}  // namespace

GameSearch SearchAmazonDatabase(const std::wstring& databasePath) {
  GameSearch search;
  if (!IsExistingFile(databasePath)) return search;  // the launcher is not installed
  FindSkip what = Skipped(SkipItem::LauncherList, GameSource::Amazon, databasePath);
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (GetFileAttributesExW(ExtendedLengthPath(databasePath).c_str(), GetFileExInfoStandard, &attributes) &&
      ((static_cast<int64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow) > kMaxDatabaseBytes) {
    what.reason = SkipReason::TooLarge;
    search.skipped.push_back(std::move(what));
    return search;
  }
  SkipReason why = SkipReason::NotUnderstood;
  const std::optional<std::vector<Row>> rows = ReadRows(databasePath, why);
  if (!rows) {
    what.reason = why;
    search.skipped.push_back(std::move(what));
    return search;
  }
  std::unordered_set<std::wstring> folders;
  for (const Row& row : *rows) {
    const std::wstring title = row.title.empty() ? row.id : row.title;
    const std::wstring path =
        UsableLauncherFolder(row.folder, Skipped(SkipItem::LauncherGame, GameSource::Amazon, title), search.skipped);
    if (path.empty()) continue;
    FoundGame game{GameSource::Amazon, path, row.title, {}};
    const std::wstring fuel = JoinPath(path, L"fuel.json");
    if (const auto bytes = ReadLauncherFileBytes(fuel, Skipped(SkipItem::LauncherFile, GameSource::Amazon, fuel),
                                                 search.skipped, kMaxLauncherFileBytes)) {
      if (const std::optional<std::wstring> command = ReadFuelCommand(*bytes)) {
        game.executable = LauncherExecutableBelow(path, *command).value_or(L"");
      } else {
        search.skipped.push_back(Skipped(SkipItem::LauncherFile, GameSource::Amazon, fuel, SkipReason::NotUnderstood));
      }
    }
    AddFoundGame(search, folders, std::move(game));
  }
  return search;
}

GameSearch SearchAmazonGames() {
  const std::wstring local = KnownFolderPath(FOLDERID_LocalAppData);
  if (local.empty()) return {};
  return SearchAmazonDatabase(JoinPath(local, kDatabaseBelowLocalAppData));
}

}  // namespace zrcc
