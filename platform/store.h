// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user store of keys holding text values, standing in for the current user's registry.
//
// A key HKEY_CURRENT_USER\Software\<Vendor>\<Program>[\<Sub>...] lives in the INI file
// $XDG_CONFIG_HOME/<Vendor>/<Program>.conf (section [General] for the key itself, [<Sub>/...]
// below it), readable by QSettings. HKEY_CURRENT_USER\Software\<Vendor> is the folder, and
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run is the XDG autostart
// folder: each value there is a <name>.desktop entry whose Exec is the value's data.
//
// Every write is atomic and durable (temporary file, flush, rename) and done under a lock,
// so two processes writing at once lose nothing; a file that is a symbolic link is replaced
// where the link points, and stays a link. A line that cannot be read is skipped and
// written back as it was; only a file of which nothing can be read holds no values, and it
// is kept aside under another name before the next write replaces it.
// Standard C++ only: the display control's self-registration uses it too.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Root key handles.
inline constexpr uint32_t kHkeyClassesRoot = 0x80000000;
inline constexpr uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr uint32_t kHkeyUsers = 0x80000003;
inline constexpr uint32_t kHkeyPerformanceData = 0x80000004;
inline constexpr uint32_t kHkeyCurrentConfig = 0x80000005;
inline constexpr uint32_t kHkeyDynData = 0x80000006;

inline constexpr const char* kRunSubKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// $XDG_CONFIG_HOME when set to an absolute path, else ~/.config, else (no HOME) a private
// folder under /tmp; "" when that folder is not private, and a store there holds no keys
// (its first write tells the trouble handler the folder and why it was refused).
std::string configHome();

// What the store could not do, for the program to tell its user: a write that failed (the
// file and why), an unreadable file kept aside (the file and the name it was kept under), or
// a file that is there but cannot be opened or read (the file and why; it is left as it is).
enum class StoreTrouble { WriteFailed, KeptAside, Unreadable };
void setStoreTroubleHandler(std::function<void(StoreTrouble, const std::string& file, const std::string& detail)> handler);

class Store {
 public:
  virtual ~Store() = default;
  // Creates the key (and the keys above it). False when it cannot be created.
  virtual bool createKey(uint32_t root, std::string_view subKey) = 0;
  virtual bool keyExists(uint32_t root, std::string_view subKey) = 0;
  // The stored text; nothing when the key or the value is missing or unreadable.
  virtual std::optional<std::string> readValue(uint32_t root, std::string_view subKey, std::string_view name) = 0;
  // Writes into an existing key only; false when the key is missing or the write failed.
  virtual bool writeValue(uint32_t root, std::string_view subKey, std::string_view name, std::string_view value) = 0;
  // Several values of one key together; the file store writes them in one replacement of
  // its file, so an end in between never leaves some of them old and some new.
  using Values = std::vector<std::pair<std::string, std::string>>;
  virtual bool writeValues(uint32_t root, std::string_view subKey, const Values& values) {
    bool ok = true;
    for (const auto& [name, value] : values) ok = writeValue(root, subKey, name, value) && ok;
    return ok;
  }
  // False when the key or the value is missing, or the delete failed.
  virtual bool deleteValue(uint32_t root, std::string_view subKey, std::string_view name) = 0;
};

// The real store on files under a configuration folder.
class FileStore final : public Store {
 public:
  explicit FileStore(std::string home = configHome());
  bool createKey(uint32_t root, std::string_view subKey) override;
  bool keyExists(uint32_t root, std::string_view subKey) override;
  std::optional<std::string> readValue(uint32_t root, std::string_view subKey, std::string_view name) override;
  bool writeValue(uint32_t root, std::string_view subKey, std::string_view name, std::string_view value) override;
  bool writeValues(uint32_t root, std::string_view subKey, const Values& values) override;
  bool deleteValue(uint32_t root, std::string_view subKey, std::string_view name) override;

  // Where a key lives: the file (or folder) and the INI section; empty path when the key
  // cannot exist in this store.
  struct Location {
    enum class Kind { None, Folder, IniFile, Autostart } kind = Kind::None;
    std::string path;  // folder, INI file, or autostart folder
    std::string section;
  };
  Location locate(uint32_t root, std::string_view subKey) const;
  const std::string& home() const { return home_; }

 private:
  bool unsaved();  // a write without a folder: tells once why, and fails

  std::string home_;
  std::pair<std::string, std::string> refused_;  // the folder configHome() refused, and why
  bool told_ = false;
};

// An in-memory store for tests: keys are created explicitly, as with the real one.
class MemoryStore final : public Store {
 public:
  bool createKey(uint32_t root, std::string_view subKey) override;
  bool keyExists(uint32_t root, std::string_view subKey) override;
  std::optional<std::string> readValue(uint32_t root, std::string_view subKey, std::string_view name) override;
  bool writeValue(uint32_t root, std::string_view subKey, std::string_view name, std::string_view value) override;
  bool deleteValue(uint32_t root, std::string_view subKey, std::string_view name) override;

  std::map<std::string, std::map<std::string, std::string>> keys;  // "root\subkey" -> values
  bool failWrites = false;

 private:
  static std::string id(uint32_t root, std::string_view subKey);
};

// The store used by the program; a FileStore over configHome() unless replaced (tests).
Store& defaultStore();
void setDefaultStore(Store* store);

}  // namespace platform
