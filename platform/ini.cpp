// SPDX-License-Identifier: GPL-3.0-or-later
// The settings files' INI text.
#include "platform/ini.h"

#include <cctype>

namespace platform::ini {
namespace {

// The length of the UTF-8 character that starts at i; 0 when the bytes there are none.
std::size_t utf8Length(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t extra = 0;
  if (c < 0x80) extra = 0;
  else if ((c & 0xE0) == 0xC0 && c >= 0xC2) extra = 1;
  else if ((c & 0xF0) == 0xE0) extra = 2;
  else if ((c & 0xF8) == 0xF0 && c <= 0xF4) extra = 3;
  else return 0;
  if (i + extra >= s.size() + (extra ? 0 : 1)) return 0;
  for (std::size_t k = 1; k <= extra; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return extra + 1;
}

bool validUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = utf8Length(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string unescapeKey(std::string_view key) {
  std::string out;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '%' && i + 2 < key.size() && std::isxdigit(static_cast<unsigned char>(key[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(key[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(key.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += key[i];
    }
  }
  return out;
}

std::string trimWs(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

// Reads a value as QSettings writes it: quoted parts, backslash escapes, blanks around
// unquoted parts dropped. Nothing when a quote is left open.
std::optional<std::string> unescapeValue(std::string_view raw) {
  std::string out;
  std::string pendingBlanks;
  bool inQuotes = false;
  bool started = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '"') {
      inQuotes = !inQuotes;
      out += pendingBlanks;
      pendingBlanks.clear();
      started = true;
      continue;
    }
    if (!inQuotes && (c == ' ' || c == '\t')) {
      if (started) pendingBlanks += c;
      continue;
    }
    out += pendingBlanks;
    pendingBlanks.clear();
    started = true;
    if (c == '\\' && i + 1 < raw.size()) {
      const char n = raw[++i];
      switch (n) {
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case '0': out += '\0'; break;
        case 'x': {
          std::string hex;
          while (i + 1 < raw.size() && hex.size() < 2 && std::isxdigit(static_cast<unsigned char>(raw[i + 1])))
            hex += raw[++i];
          if (!hex.empty()) out += static_cast<char>(std::stoi(hex, nullptr, 16));
          break;
        }
        default: out += n;
      }
      continue;
    }
    out += c;
  }
  if (inQuotes) return std::nullopt;
  // QSettings doubles a leading '@' to keep it a plain text.
  if (out.rfind("@@", 0) == 0) out.erase(0, 1);
  return out;
}

}  // namespace

std::size_t Document::unreadLineCount() const {
  std::size_t n = 0;
  for (const auto& [name, lines] : keptLines)
    for (const auto& line : lines) {
      const std::string t = trimWs(line);
      if (t[0] != ';' && t[0] != '#') ++n;  // comments are read, they just hold no value
    }
  return n;
}

std::string escapeKey(std::string_view key) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char ch : key) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) || c == '_' || c == '-' || c == '.') {
      out += ch;
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string escapeValue(std::string_view value) {
  static const char* hex = "0123456789abcdef";
  const auto escapeByte = [](std::string& out, unsigned char c) {
    out += "\\x";
    out += hex[c >> 4];
    out += hex[c & 15];
  };
  std::string out = "\"";
  if (!value.empty() && value[0] == '@') out += '@';
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char ch = value[i];
    const auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          escapeByte(out, c);
        } else if (c >= 0x80) {
          // Bytes that are no UTF-8 (a file name in another encoding) are escaped too: a raw
          // one would make the whole line unreadable, and the value would be lost.
          const std::size_t n = utf8Length(value, i);
          if (n == 0) {
            escapeByte(out, c);
          } else {
            out += value.substr(i, n);
            i += n - 1;
          }
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

std::optional<Document> parse(std::string_view text) {
  Document doc;
  std::string section = "General";
  // After a section header that cannot be read, nobody can tell where its lines belong:
  // they are kept unread until the next good header.
  bool headerRead = true;
  bool anyLine = false, anyRead = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();  // the last line may lack its newline
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string t = trimWs(line);
    if (t.empty()) continue;
    anyLine = true;
    const auto keep = [&] { doc.keptLines[section].emplace_back(line); };
    if (line.find('\0') != std::string_view::npos || !validUtf8(line)) {
      keep();
      continue;
    }
    if (t[0] == ';' || t[0] == '#') {  // a comment is read, and kept as it is
      anyRead = true;
      keep();
      continue;
    }
    if (t[0] == '[') {
      headerRead = t.back() == ']' && t.size() >= 3;
      if (!headerRead) {
        keep();
        continue;
      }
      section = unescapeKey(t.substr(1, t.size() - 2));
      doc.sections[section];
      anyRead = true;
      continue;
    }
    const std::size_t eq = line.find('=');
    // An empty name is the key's own value, as the registry has it ("=text").
    const std::string key = eq == std::string_view::npos ? std::string() : trimWs(line.substr(0, eq));
    auto value = eq == std::string_view::npos ? std::nullopt : unescapeValue(line.substr(eq + 1));
    if (!headerRead || !value) {
      keep();
      continue;
    }
    doc.sections[section][unescapeKey(key)] = std::move(*value);
    anyRead = true;
  }
  if (anyLine && !anyRead) return std::nullopt;
  return doc;
}

std::string serialize(const Document& doc) {
  std::string out;
  auto writeSection = [&](const std::string& name) {
    if (!out.empty()) out += '\n';
    out += '[';
    out += name == "General" ? name : escapeKey(name);
    out += "]\n";
    if (auto s = doc.sections.find(name); s != doc.sections.end())
      for (const auto& [k, v] : s->second) out += escapeKey(k) + "=" + escapeValue(v) + "\n";
    if (auto kept = doc.keptLines.find(name); kept != doc.keptLines.end())
      for (const auto& line : kept->second) {
        out += line;
        // A line that ends in CR itself would lose it to the CRLF rule when read again.
        out += !line.empty() && line.back() == '\r' ? "\r\n" : "\n";
      }
  };
  // [General] first, as QSettings writes it.
  if (doc.sections.count("General") || doc.keptLines.count("General")) writeSection("General");
  for (const auto& [name, s] : doc.sections)
    if (name != "General") writeSection(name);
  for (const auto& [name, lines] : doc.keptLines)
    if (name != "General" && !doc.sections.count(name)) writeSection(name);
  return out;
}

}  // namespace platform::ini
