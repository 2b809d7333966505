// SPDX-License-Identifier: GPL-3.0-or-later
// The Registry module: create keys and read and write text values addressed by full key
// paths ("HKEY_CURRENT_USER\Software\Orvanta\Alarm"), the program's own settings key and
// files, and the log-on auto-start entry.
#pragma once

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace Registry {

// The root handle of a root name (0 for a name that is not a root key).
uint32_t GetRootKey(const QString& rootName);

// Splits a full path into its root handle and sub key; the sub key replaces the path.
// A path not beginning with "HKEY_" or ending in "\" shows the "Incorrect Format:" box and
// returns false (nothing is to be read, created or written then).
bool SplitKeyPath(QString& path, uint32_t& root);

void CreateRegistryKey(const QString& path);

// The stored text, "Error" when the key or value is missing (or too long for the 255
// character buffer), or "" for an unknown root or malformed path. Leading blanks of the
// stored text are lost, trailing ones kept; a text of 255 characters loses its last one.
QString ReadRegistryValue(const QString& path, const QString& valueName);

// Writes into an existing key only; failures are silent.
void WriteRegistryValue(const QString& path, const QString& valueName, const QString& text);
// Several values of one key in one write.
void WriteRegistryValues(const QString& path, const std::vector<std::pair<QString, QString>>& values);

// What a read of the stored text gives back through the 255-character buffer.
QString readThroughBuffer(const QString& stored);

// The program's file name without extension ("Alarm"; "Clock" for a copy named Clock),
// and its settings key "HKEY_CURRENT_USER\Software\Orvanta\<name>".
QString programFileName();
QString settingsKey();
// The program's files: its folder is the running executable's (readme.txt and alarm.wav lie
// there); its full path, which the log-on entry starts, is the file it was started as when
// that starts this program, else the running executable. Only the settings key's name comes
// from the name it was started under.
void setStartName(const QString& argv0);
// For tests: the program is this file, started under its own name.
void setProgramPath(const QString& path);
QString programPath();
QString programFolder();

// Read and write one value of the settings key.
inline QString readSetting(const QString& name) { return ReadRegistryValue(settingsKey(), name); }
inline void writeSetting(const QString& name, const QString& text) { WriteRegistryValue(settingsKey(), name, text); }
inline QString readSetting(const char* name) { return readSetting(QString::fromLatin1(name)); }
inline void writeSetting(const char* name, const QString& text) { writeSetting(QString::fromLatin1(name), text); }

}  // namespace Registry

// The registry routines the main window uses for single values.
bool SetRegistryValue(uint32_t root, const QString& subKey, const QString& valueName, const QString& value);
bool DeleteRegistryValue(uint32_t root, const QString& subKey, const QString& valueName);
// Adds (true) or removes (false) the entry that starts the program at log-on.
void SetRunEntry(bool add);
