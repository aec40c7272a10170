#include "ui/package.h"

#include "core/owner_thread.h"
#include "core/settings_rules.h"

namespace zrcc {

void Package::SetControls(HWND pathField, HWND versionField, HWND buildField) {
  CheckOwnerThread();
  pathField_ = pathField;
  versionField_ = versionField;
  buildField_ = buildField;
}

PackageFacts Package::Facts() const {
  CheckOwnerThread();
  return {set_, version_, build_, numbers_};
}

void Package::Accept(const std::wstring& folder, PackageInfo info) {
  folder_ = folder;
  set_ = true;
  version_ = std::move(info.version);
  build_ = std::move(info.build);
  numbers_ = info.numbers;
}

void Package::Unset() {
  set_ = false;
  version_ = kPackageNotFound;
  build_ = kPackageNotFound;
  numbers_.reset();
}

void Package::Restore(const std::wstring& folder) {
  CheckOwnerThread();
  folder_ = folder;
  if (std::optional<PackageInfo> info = CheckModFolder(folder)) {
    Accept(folder, std::move(*info));
  } else {
    set_ = false;
  }
  Show();
}

bool Package::Choose(const std::wstring& folder) {
  CheckOwnerThread();
  if (std::optional<PackageInfo> info = CheckModFolder(folder)) {
    Accept(folder, std::move(*info));
  } else if (!set_) {
    folder_ = folder;
    Unset();
  }
  Show();
  return folder_ == folder && set_;
}

bool Package::StillAsShown(bool& changed) {
  CheckOwnerThread();
  changed = false;
  if (std::optional<PackageInfo> info = CheckModFolder(folder_)) {
    changed = info->version != version_ || info->build != build_;
    Accept(folder_, std::move(*info));
    if (changed) Show();
    return !changed;
  }
  // The folder itself is kept, so that the next start looks at it again.
  Unset();
  Show();
  return false;
}

void Package::Show() const {
  CheckOwnerThread();
  if (pathField_) SetWindowTextW(pathField_, set_ ? folder_.c_str() : kNoPathSet);
  for (const auto& [field, text] : {std::pair{versionField_, &version_}, std::pair{buildField_, &build_}}) {
    if (!field) continue;
    // The fields are drawn by their owner; the window text is what screen
    // readers read.
    SetWindowTextW(field, text->c_str());
    RedrawWindow(field, nullptr, nullptr, RDW_INVALIDATE);
  }
}

}  // namespace zrcc
