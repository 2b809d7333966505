// SPDX-License-Identifier: GPL-3.0-or-later
// Creation by programmatic identifier: store lookup, library loading, class factory.
#include "platform/host/component_registry.h"

#include <dlfcn.h>

#include <cstdlib>
#include <optional>

#include "platform/errors.h"
#include "platform/host/library_trust.h"
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

namespace {

// The registration that the stores from `from` on hold: each value from the first of them
// that holds it.
struct Registration {
  std::string clsidText;
  std::optional<com::Guid> clsid;
  std::string path;
};

Registration registrationFrom(std::string_view progId, std::span<Store* const> stores) {
  Registration r;
  r.clsidText = firstValue(stores, progIdKey(progId), "CLSID").value_or("");
  r.clsid = com::parseGuid(r.clsidText);
  if (r.clsid) r.path = firstValue(stores, inprocServerKey(*r.clsid), "Path").value_or("");
  return r;
}

// Loads a registered library and finds its entry point: "" when done, else why not. The
// library stays loaded for the life of the process, as components are never unloaded while
// instances may exist.
std::string load(const std::string& path, com::DllGetClassObjectFn& entry) {
  if (std::string refused = libraryRefusal(path); !refused.empty()) return refused;
  void* lib = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* e = ::dlerror();
    return e ? e : "library " + path + " does not load";
  }
  entry = reinterpret_cast<com::DllGetClassObjectFn>(::dlsym(lib, "DllGetClassObject"));
  return entry ? "" : path + " has no DllGetClassObject";
}

std::string whereOf(const Store* store) {
  const auto* file = dynamic_cast<const FileStore*>(store);
  return file ? file->home() : std::string("another store");
}

}  // namespace

void* createObject(std::string_view progId, const com::Guid& iid, std::span<Store* const> stores) {
  Registration reg = registrationFrom(progId, stores);
  if (reg.clsidText.empty()) cannotCreate(progId, "not registered");
  if (!reg.clsid) cannotCreate(progId, "registered class id " + reg.clsidText + " is not valid");
  if (reg.path.empty()) cannotCreate(progId, "no library registered for class " + reg.clsidText);

  com::DllGetClassObjectFn getClassObject = nullptr;
  if (const std::string why = load(reg.path, getClassObject); !why.empty()) {
    // A registration whose library is gone or does not load (a build folder removed since)
    // gives way to the next store's, the machine-wide one, when that one loads.
    for (std::size_t i = 1; i < stores.size() && !getClassObject; ++i) {
      const Registration next = registrationFrom(progId, stores.subspan(i));
      if (!next.clsid || !stores[i]->readValue(kHkeyCurrentUser, inprocServerKey(*next.clsid), "Path") ||
          (next.path == reg.path && next.clsidText == reg.clsidText))
        continue;  // the same registration, or none of this store's own
      if (!load(next.path, getClassObject).empty()) continue;
      logEvent(std::string(progId) + ": the library registered in " + whereOf(stores.front()) + " does not load (" +
               why + "); using " + next.path + ", registered in " + whereOf(stores[i]));
      reg = next;
    }
    if (!getClassObject) cannotCreate(progId, why);
  }
  void* factoryPtr = nullptr;
  if (getClassObject(&*reg.clsid, &com::kIidClassFactory, &factoryPtr) != com::kOk || !factoryPtr)
    cannotCreate(progId, reg.path + " does not serve class " + reg.clsidText);
  ComPtr<com::IClassFactory> factory(static_cast<com::IClassFactory*>(factoryPtr));
  void* object = nullptr;
  if (factory->CreateInstance(nullptr, iid, &object) != com::kOk || !object)
    cannotCreate(progId, "the factory of " + reg.path + " refused to create an instance");
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
