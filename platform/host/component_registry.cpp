// Creation by programmatic identifier: store lookup, library loading, class factory.
#include "platform/host/component_registry.h"

#include <dlfcn.h>

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

}  // namespace

void* createObject(std::string_view progId, const com::Guid& iid, Store& store) {
  const auto clsidText = store.readValue(kHkeyCurrentUser, progIdKey(progId), "CLSID");
  if (!clsidText) cannotCreate(progId, "not registered");
  const auto clsid = com::parseGuid(*clsidText);
  if (!clsid) cannotCreate(progId, "registered class id " + *clsidText + " is not valid");
  const auto path = store.readValue(kHkeyCurrentUser, inprocServerKey(*clsid), "Path");
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

void* createObject(std::string_view progId, const com::Guid& iid) {
  return createObject(progId, iid, defaultStore());
}

com::IControl* createControl(std::string_view progId) {
  return static_cast<com::IControl*>(createObject(progId, com::kIidControl));
}

}  // namespace platform
