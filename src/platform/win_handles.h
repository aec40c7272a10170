// Owners of Windows handles, so every handle is closed on every way out.
#pragma once

#include <windows.h>

#include <utility>

namespace zrcc {

// A kernel handle closed with CloseHandle (files, processes, threads).
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : handle_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) { reset(); handle_ = std::exchange(other.handle_, nullptr); }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A directory listing closed with FindClose.
class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : handle_(h) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A COM interface pointer released on every way out: the one reference the
// call that filled it gave.
template <typename T>
class ComOwner {
 public:
  ComOwner() = default;
  ComOwner(const ComOwner&) = delete;
  ComOwner& operator=(const ComOwner&) = delete;
  ~ComOwner() {
    if (pointer_) pointer_->Release();
  }
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For the call that fills it; the pointer must be empty.
  T** out() { return &pointer_; }

 private:
  T* pointer_ = nullptr;
};

}  // namespace zrcc
