// data.ini beside the executable: reading it for the loader, and the save.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace zrcc {

constexpr wchar_t kDataFileName[] = L"data.ini";

// The largest data.ini that is read: far above any real list (100,000 games
// take under 60 MB), far below what would exhaust the memory of the program.
constexpr uint64_t kMaxDataFileBytes = 128ull << 20;

// How the bytes of a data.ini read.
enum class DataFileBytes {
  Empty,          // nothing, or only a byte order mark: no games
  Text,           // UTF-8, or UTF-16 after its byte order mark
  LocalCodePage,  // re-saved by an editor in this PC's ANSI code page, with games in it
  Unreadable,     // none of these
};
DataFileBytes DecodeDataFileBytes(const std::string& bytes, std::wstring& text);

// What reading data.ini met.
enum class ListFileOutcome {
  Missing,        // no list yet
  Empty,          // nothing in it, or only a byte order mark
  Text,           // the list's text
  LocalCodePage,  // the list's text, read in this PC's ANSI code page
  Unreadable,     // there, but it cannot be opened or read (held open by another program, say)
  TooLarge,       // above kMaxDataFileBytes
  NotText,        // neither UTF-8 nor UTF-16 nor in this PC's code page
};

struct ListFileRead {
  ListFileOutcome outcome = ListFileOutcome::Missing;
  std::wstring path;
  std::wstring text;    // for Text and LocalCodePage
  uint32_t error = 0;   // the system's reason, for Unreadable
  bool HasText() const { return outcome == ListFileOutcome::Text || outcome == ListFileOutcome::LocalCodePage; }
  // A file that is there but whose games did not reach the list: it must
  // never be replaced blindly, and the user is told.
  bool NotRead() const {
    return outcome == ListFileOutcome::Unreadable || outcome == ListFileOutcome::TooLarge ||
           outcome == ListFileOutcome::NotText;
  }
};

// The reading half of the load, on any thread: the decoded text of the
// data.ini at `path`. A file held open by another program is tried again for
// a few seconds (until `stop` is set, when given). Touches nothing but the
// file.
ListFileRead ReadGameListFile(const std::wstring& path, const std::atomic<bool>* stop = nullptr);

// On the UI thread, which owns the save: remembers what the last read met, so
// that a save keeps a file that was there but could not be read (or was read
// in the local code page) aside before replacing it, and never replaces an
// unreadable list by an empty one.
void NoteListFileRead(const ListFileRead& read);

// Where an unreadable list will be kept before a list is saved in its place:
// the first free kept-aside name, and whether it is moved there (a file too
// large to read, which a copy could fill the disk with) or copied. UI thread.
std::wstring ListKeptAsideAs();
bool ListWillBeMovedAside();

// Why a save failed.
struct SaveFailure {
  enum class Step { KeepAside, Replace };
  Step step = Step::Replace;
  std::wstring path;   // data.ini
  uint32_t error = 0;  // the system's reason
};

// Writes the catalogue to data.ini, on the UI thread. The new content goes to
// a temporary file beside it that then replaces data.ini in one step, so
// data.ini is always either the previous list or the new one. A save that
// fails leaves the previous file as it was and says why in `failure`. A
// data.ini the last load could not read is never replaced by an empty list:
// it is left as it is (true). Returns whether the list is in the file.
bool SaveGameList(SaveFailure& failure);

// The name under which an unreadable data.ini is kept before it would be
// replaced: data.unreadable.ini, data.unreadable.2.ini, ... (never an
// existing file). Exposed for tests.
std::wstring KeptAsideName(int attempt);

}  // namespace zrcc
