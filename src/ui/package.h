// The mod package the window works with, in one place: its folder as last
// read from settings.ini or chosen, whether it passed the check, its version
// texts and fixed version, and the three controls that show them (the path
// field and the two version fields). Every change of the package goes
// through here, and the controls follow. UI thread.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/update_rules.h"
#include "deploy/mod_state.h"

namespace zrcc {

// What the version fields show for a folder that was rejected, or lost.
inline constexpr wchar_t kPackageNotFound[] = L"not found";

class Package {
 public:
  // The controls that show the package; any may be null (a test's window
  // has no version fields).
  void SetControls(HWND pathField, HWND versionField, HWND buildField);

  // The folder (any length), whether or not it passed the check.
  const std::wstring& folder() const { return folder_; }
  // Whether it passed: the deployments may use it.
  bool set() const { return set_; }
  const std::wstring& version() const { return version_; }
  const std::wstring& build() const { return build_; }
  // As the rules about outdated games read it.
  PackageFacts Facts() const;

  // The folder settings.ini names, checked: the path field shows it when it
  // passed, "No path set" otherwise (the text read is kept, so that it is
  // written back unchanged).
  void Restore(const std::wstring& folder);
  // A folder the user chose, checked: true when it is the package now. A
  // mistaken pick does not cost the package that works: its folder, versions
  // and saved path stay. A first choice that fails is kept as the folder,
  // unset, its versions "not found".
  bool Choose(const std::wstring& folder);
  // The package folder checked again before a copy: true when it still
  // holds the mod in the version shown. Otherwise what it holds now is shown
  // (`changed` tells a package of another version from one without the mod,
  // which counts as unset, its folder kept for the next start).
  bool StillAsShown(bool& changed);

  // The texts into the controls.
  void Show() const;

 private:
  void Accept(const std::wstring& folder, PackageInfo info);
  void Unset();

  HWND pathField_ = nullptr;
  HWND versionField_ = nullptr;
  HWND buildField_ = nullptr;
  std::wstring folder_;
  bool set_ = false;
  std::wstring version_;  // FileVersion of the package DLL; empty at start
  std::wstring build_;    // its ProductVersion
  std::optional<FileVersionNumbers> numbers_;
};

}  // namespace zrcc
