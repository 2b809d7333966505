// SPDX-License-Identifier: GPL-3.0-or-later
// Creation by programmatic identifier: store lookup, library loading, class factory.
#include "platform/host/component_registry.h"

#include <dlfcn.h>

#include <cstdlib>
#include <optional>

#include "platform/errors.h"
#include "platform/log.h"
#include "platform/store.h"

namespace platform {

std::string progIdKey(std::string_view progId) {
  return std::string(com::kClassesKey) + "\\" + std::string(progId);
}

std::string classKey(const com::Guid& clsid) {
  return std::string(com::kClassesKey) + "\\CLSID\\" + com::toString(clsid);
}

std::string inprocServerKey(const com::Guid& clsid) { return classKey(clsid) + "\\InprocServer32"; }

namespace {

[[noreturn]] void cannotCreate(std::string_view progId, const std::string& why) {
  logEvent("cannot create " + std::string(progId) + ": " + why);
  throw RuntimeError(err::kCannotCreateComponent);
}

std::optional<std::string> firstValue(std::span<Store* const> stores, const std::string& key, std::string_view name) {
  for (Store* store : stores)
    if (auto value = store->readValue(kHkeyCurrentUser, key, name)) return value;
  return std::nullopt;
}

}  // namespace

std::vector<std::string> systemConfigDirs() {
  std::vector<std::string> dirs;
  if (const char* list = std::getenv("XDG_CONFIG_DIRS")) {
    std::string_view rest(list);
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string_view dir = rest.substr(0, colon);
      if (dir.starts_with('/')) dirs.emplace_back(dir);  // relative entries are ignored
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  if (dirs.empty()) dirs.emplace_back("/etc/xdg");
  return dirs;
}

void* createObject(std::string_view progId, const com::Guid& iid, std::span<Store* const> stores) {
  const auto clsidText = firstValue(stores, progIdKey(progId), "CLSID");
  if (!clsidText) cannotCreate(progId, "not registered");
  const auto clsid = com::parseGuid(*clsidText);
  if (!clsid) cannotCreate(progId, "registered class id " + *clsidText + " is not valid");
  const auto path = firstValue(stores, inprocServerKey(*clsid), "Path");
  if (!path || path->empty()) cannotCreate(progId, "no library registered for class " + *clsidText);

  // The library stays loaded for the life of the process, as components are never unloaded
  // while instances may exist.
  void* lib = ::dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* e = ::dlerror();
    cannotCreate(progId, e ? e : "library " + *path + " does not load");
  }
  auto getClassObject = reinterpret_cast<com::DllGetClassObjectFn>(::dlsym(lib, "DllGetClassObject"));
  if (!getClassObject) cannotCreate(progId, *path + " has no DllGetClassObject");

  void* factoryPtr = nullptr;
  if (getClassObject(&*clsid, &com::kIidClassFactory, &factoryPtr) != com::kOk || !factoryPtr)
    cannotCreate(progId, *path + " does not serve class " + *clsidText);
  ComPtr<com::IClassFactory> factory(static_cast<com::IClassFactory*>(factoryPtr));
  void* object = nullptr;
  if (factory->CreateInstance(nullptr, iid, &object) != com::kOk || !object)
    cannotCreate(progId, "the factory of " + *path + " refused to create an instance");
  return object;
}

void* createObject(std::string_view progId, const com::Guid& iid, Store& store) {
  Store* const only[] = {&store};
  return createObject(progId, iid, only);
}

void* createObject(std::string_view progId, const com::Guid& iid) {
  std::vector<FileStore> system;
  for (auto& dir : systemConfigDirs()) system.emplace_back(std::move(dir));
  std::vector<Store*> stores{&defaultStore()};
  for (auto& store : system) stores.push_back(&store);
  return createObject(progId, iid, stores);
}

com::IControl* createControl(std::string_view progId) {
  return static_cast<com::IControl*>(createObject(progId, com::kIidControl));
}

}  // namespace platform
