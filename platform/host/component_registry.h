// SPDX-License-Identifier: GPL-3.0-or-later
// Creating components by programmatic identifier: the per-user store maps the identifier
// to a class id and the class id to the library that serves it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/com.h"

namespace platform {

class Store;

// Keys of a registered class in the per-user store (under HKEY_CURRENT_USER):
//   Software\Classes\<ProgId>                       value "CLSID" = the class id
//   Software\Classes\CLSID\<class id>               value "ProgID" = the identifier
//   Software\Classes\CLSID\<class id>\InprocServer32 value "Path" = the library's absolute path
std::string progIdKey(std::string_view progId);
std::string classKey(const com::Guid& clsid);
std::string inprocServerKey(const com::Guid& clsid);

// The machine-wide configuration folders, most important first: the absolute entries of
// $XDG_CONFIG_DIRS, or /etc/xdg when it names none. `regsvr --system` registers into the
// first one, with the same keys as the per-user store.
std::vector<std::string> systemConfigDirs();

// Creates an instance of the class registered under progId and asks it for iid.
// A class that is not registered, a library that does not load or lacks the entry point,
// and a factory that refuses all raise RuntimeError(339). The library stays loaded.
// The returned pointer holds one reference.
//
// Each value of the registration is taken from the first store that holds it, so the
// per-user registration, looked at first, shadows the machine-wide one. A library that is
// missing, refused (see libraryRefusal) or does not load gives way to the one the stores
// after it register, when that one loads; the log says so.
void* createObject(std::string_view progId, const com::Guid& iid, std::span<Store* const> stores);
void* createObject(std::string_view progId, const com::Guid& iid, Store& store);
// The default store, then the system folders.
void* createObject(std::string_view progId, const com::Guid& iid);

// The control interface of a new instance of progId; raises as createObject.
com::IControl* createControl(std::string_view progId);

// Holds one reference to a component interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* adopted) : p_(adopted) {}
  ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
  ~ComPtr() { if (p_) p_->Release(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace platform
