// Text helpers shared by the file formats and matching rules: case folding of
// path keys, blank trimming and UTF-8 <-> UTF-16 conversion.
//
// Wide strings hold UTF-16 code units on every build: on Linux, where wchar_t
// is 32 bits wide, a character outside the BMP is two wchar_t (a surrogate
// pair), exactly as on Windows. Nothing here includes <windows.h>.
#pragma once

#include <string>
#include <string_view>

namespace zrcc {

// Folds one UTF-16 unit the way the Windows C runtime's towlower does in the
// default "C" locale: A to Z only. Keys built with it are the same on every
// build and every machine.
wchar_t FoldUnit(wchar_t unit);

// The catalogue's key of a path: every unit folded, nothing else changed.
std::wstring LowerKey(std::wstring_view text);

// Removes space, tab, CR and LF from both ends.
std::wstring_view TrimBlanks(std::wstring_view text);

// Strict UTF-8 decoding as MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS)
// does it: any invalid sequence (overlong forms, surrogates, code points above
// U+10FFFF, truncated or stray bytes) rejects the whole input. Returns false
// then and leaves `out` empty.
bool DecodeUtf8Strict(std::string_view bytes, std::wstring& out);

// Lenient UTF-8 decoding: every invalid sequence becomes U+FFFD.
std::wstring DecodeUtf8Lenient(std::string_view bytes);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD (EF BF BD), as
// WideCharToMultiByte(CP_UTF8, 0) does.
std::string EncodeUtf8(std::wstring_view text);

}  // namespace zrcc
