// SPDX-License-Identifier: GPL-3.0-or-later
// The library's entry points: the class factory and self-registration in the per-user store.
#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <new>
#include <string>

#include "lumicell/control.h"
#include "platform/host/com.h"
#include "platform/host/component_registry.h"
#include "platform/log.h"
#include "platform/store.h"

#define LUMICELL_EXPORT extern "C" __attribute__((visibility("default")))

namespace lumicell {

using platform::com::Guid;
using platform::com::HResult;

// The class id of Lumicell and the id of the Kestrava type library.
constexpr Guid kClsidLumicell{0x6E1C4A52, 0x0B7D, 0x4E8A, {0xA3, 0xF1, 0x2C, 0x9D, 0x5B, 0x7E, 0x4F, 0x18}};
constexpr Guid kLibidKestrava{0x9B2E7D41, 0x5C3A, 0x4F6B, {0x8E, 0x1D, 0x7A, 0x4C, 0x2F, 0x9B, 0x3E, 0x65}};
constexpr const char* kTypeLibVersion = "1.0";
constexpr HResult kSelfRegClassError = static_cast<HResult>(0x80040201u);

namespace {

std::atomic<int> g_serverLocks{0};

class Factory final : public platform::com::IClassFactory {
 public:
  HResult QueryInterface(const Guid& iid, void** out) override {
    if (!out) return platform::com::kPointer;
    if (iid == platform::com::kIidUnknown || iid == platform::com::kIidClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return platform::com::kOk;
    }
    *out = nullptr;
    return platform::com::kNoInterface;
  }
  // The factory lives as long as the library.
  uint32_t AddRef() override { return 2; }
  uint32_t Release() override { return 1; }

  HResult CreateInstance(IUnknown* outer, const Guid& iid, void** out) override {
    if (!out) return platform::com::kPointer;
    *out = nullptr;
    if (outer) return platform::com::kNoAggregation;
    Control* c = new (std::nothrow) Control();
    if (!c) return 7;
    const HResult hr = c->QueryInterface(iid, out);
    c->Release();
    return hr;
  }

  HResult LockServer(bool lock) override {
    if (lock)
      ++g_serverLocks;
    else
      --g_serverLocks;
    return platform::com::kOk;
  }
};

Factory g_factory;

std::string libraryPath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&libraryPath), &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  auto p = std::filesystem::absolute(info.dli_fname, ec);
  return ec ? std::string(info.dli_fname) : p.lexically_normal().string();
}

std::string typeLibKey() {
  return std::string(platform::com::kClassesKey) + "\\TypeLib\\" + platform::com::toString(kLibidKestrava) +
         "\\" + kTypeLibVersion;
}

}  // namespace

}  // namespace lumicell

using namespace lumicell;

LUMICELL_EXPORT HResult DllGetClassObject(const Guid* clsid, const Guid* iid, void** out) {
  if (!clsid || !iid || !out) return platform::com::kPointer;
  *out = nullptr;
  if (!(*clsid == kClsidLumicell)) return platform::com::kClassNotAvailable;
  return g_factory.QueryInterface(*iid, out);
}

LUMICELL_EXPORT HResult DllCanUnloadNow() {
  return g_liveObjects == 0 && g_serverLocks == 0 ? platform::com::kOk : platform::com::kFalse;
}

LUMICELL_EXPORT HResult DllRegisterServer() {
  const std::string path = libraryPath();
  if (path.empty()) return kSelfRegClassError;
  auto& store = platform::defaultStore();
  const uint32_t hk = platform::kHkeyCurrentUser;
  const std::string clsid = platform::com::toString(kClsidLumicell);
  const std::string progKey = platform::progIdKey(kProgId);
  const std::string clsKey = platform::classKey(kClsidLumicell);
  const std::string serverKey = platform::inprocServerKey(kClsidLumicell);
  const std::string libKey = typeLibKey();
  const bool ok = store.createKey(hk, progKey) && store.writeValue(hk, progKey, "CLSID", clsid) &&
                  store.createKey(hk, clsKey) && store.writeValue(hk, clsKey, "ProgID", kProgId) &&
                  store.writeValue(hk, clsKey, "TypeLib", platform::com::toString(kLibidKestrava)) &&
                  store.writeValue(hk, clsKey, "Control", "1") && store.createKey(hk, serverKey) &&
                  store.writeValue(hk, serverKey, "Path", path) &&
                  store.writeValue(hk, serverKey, "ThreadingModel", "Apartment") && store.createKey(hk, libKey) &&
                  store.writeValue(hk, libKey, "HelpString", "Kestrava") &&
                  store.writeValue(hk, libKey, "Path", path);
  if (!ok) {
    platform::logEvent("Lumicell: registration of " + path + " in the per-user store failed");
    return kSelfRegClassError;
  }
  return platform::com::kOk;
}

LUMICELL_EXPORT HResult DllUnregisterServer() {
  auto& store = platform::defaultStore();
  const uint32_t hk = platform::kHkeyCurrentUser;
  const std::string progKey = platform::progIdKey(kProgId);
  const std::string clsKey = platform::classKey(kClsidLumicell);
  const std::string serverKey = platform::inprocServerKey(kClsidLumicell);
  const std::string libKey = typeLibKey();
  // Values already gone are fine; what counts is that nothing of ours is left.
  const std::pair<std::string, const char*> values[] = {
      {progKey, "CLSID"},   {clsKey, "ProgID"},          {clsKey, "TypeLib"},    {clsKey, "Control"},
      {serverKey, "Path"},  {serverKey, "ThreadingModel"}, {libKey, "HelpString"}, {libKey, "Path"}};
  bool ok = true;
  for (const auto& [key, name] : values) {
    store.deleteValue(hk, key, name);
    if (store.readValue(hk, key, name)) ok = false;
  }
  return ok ? platform::com::kOk : kSelfRegClassError;
}
