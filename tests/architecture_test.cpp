// SPDX-License-Identifier: GPL-3.0-or-later
// The house stays one-way: each product folder includes and links only itself and the folders
// below it (docs/architecture.md), the build tools include and link none, the alarm engine
// links no widgets, and no product file grows past what a newcomer can read in one go.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Bottom to top; a folder may include one that stands before it.
const std::vector<std::string> kFloors = {"platform", "platform/host", "lumicell", "audio", "alarm",
                                          "notify",   "prefs",         "app",      "led",   "program"};
// Tools that generate the program's files at build time: they stand on no room.
const std::vector<std::string> kTools = {"assets", "dist"};
constexpr int kMaxLines = 700;

const fs::path kRoot = ALARM_SOURCE_DIR;

int floorOf(const std::string& folder) {
  const auto it = std::find(kFloors.begin(), kFloors.end(), folder);
  return it == kFloors.end() ? -1 : static_cast<int>(it - kFloors.begin());
}
bool isTool(const std::string& folder) { return std::find(kTools.begin(), kTools.end(), folder) != kTools.end(); }

struct Source {
  std::string folder;  // relative to the checkout, "platform/host"
  fs::path path;
};

// Every C++ source of the product: all folders but the tests, the benchmarks and builds.
std::vector<Source> productSources() {
  std::vector<Source> out;
  for (auto it = fs::recursive_directory_iterator(kRoot); it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = fs::relative(it->path(), kRoot).generic_string();
    if (it->is_directory()) {
      const std::string top = rel.substr(0, rel.find('/'));
      if (top.starts_with(".") || top.starts_with("build") || top == "tests" || top == "bench") it.disable_recursion_pending();
      continue;
    }
    const std::string ext = it->path().extension().string();
    if (ext != ".cpp" && ext != ".h" && !rel.ends_with(".h.in")) continue;
    out.push_back({fs::relative(it->path().parent_path(), kRoot).generic_string(), it->path()});
  }
  return out;
}

// The folder of each product header a source includes ("platform/host" for
// "platform/host/com.h"); generated headers and system headers have none.
std::vector<std::pair<std::string, std::string>> includedFolders(const fs::path& file) {
  static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)/[^/"]+")re");
  std::vector<std::pair<std::string, std::string>> out;
  std::ifstream in(file);
  std::smatch m;
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, m, include)) out.emplace_back(m[1].str(), line);
  return out;
}

struct Target {
  std::string folder;  // "-" for a target from outside the checkout (Qt's)
  std::vector<std::string> links;
};

// The build's record of every target and what it links (tests/CMakeLists.txt).
std::map<std::string, Target> builtTargets() {
  std::map<std::string, Target> out;
  std::ifstream in(ALARM_HOUSE_LINKS);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string name, links;
    Target t;
    std::getline(fields, name, '\t');
    std::getline(fields, t.folder, '\t');
    std::getline(fields, links);
    std::istringstream each(links);
    for (std::string link; each >> link;) t.links.push_back(link);
    out[name] = t;
  }
  return out;
}

}  // namespace

TEST(House, EachFolderIncludesOnlyTheFoldersBelowIt) {
  const auto sources = productSources();
  ASSERT_GT(sources.size(), 100u) << "no product sources under " << kRoot;
  for (const Source& s : sources) {
    const int own = floorOf(s.folder);
    if (own < 0 && !isTool(s.folder)) {
      ADD_FAILURE() << s.path << ": the folder " << s.folder << " has no place in the order";
      continue;
    }
    for (const auto& [target, line] : includedFolders(s.path)) {
      if (target == s.folder || target.starts_with("..")) continue;
      const int theirs = floorOf(target);
      EXPECT_TRUE(own >= 0 && theirs >= 0 && theirs < own)
          << fs::relative(s.path, kRoot).generic_string() << " (" << s.folder << ") reaches up or across: " << line;
    }
  }
}

TEST(House, NoProductFileIsTooLongToRead) {
  for (const Source& s : productSources()) {
    std::ifstream in(s.path);
    const auto lines = std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
    EXPECT_LE(lines, kMaxLines) << fs::relative(s.path, kRoot).generic_string();
  }
}

TEST(House, EachRoomLinksOnlyTheRoomsBelowIt) {
  const auto targets = builtTargets();
  std::set<std::string> rooms;
  for (const auto& [name, t] : targets) {
    const int own = floorOf(t.folder);
    if (own >= 0) rooms.insert(t.folder);
    if (own < 0 && !isTool(t.folder)) continue;  // the tests' and Qt's
    for (const std::string& link : t.links) {
      const auto it = targets.find(link);
      if (it == targets.end()) continue;
      const int theirs = floorOf(it->second.folder);
      EXPECT_TRUE(theirs < 0 || (own >= 0 && theirs <= own))
          << name << " (" << t.folder << ") links " << link << " (" << it->second.folder << ")";
    }
  }
  EXPECT_EQ(rooms.size(), kFloors.size()) << "the build's record " << ALARM_HOUSE_LINKS << " misses rooms";
}

TEST(House, TheAlarmEngineLinksNoWidgets) {
  const auto targets = builtTargets();
  ASSERT_TRUE(targets.count("alarm")) << "no target alarm in " << ALARM_HOUSE_LINKS;
  static const std::regex gui(R"(Qt[0-9]*::(Widgets|Gui)\b)");
  std::vector<std::string> todo{"alarm"};
  std::set<std::string> seen;
  while (!todo.empty()) {
    const std::string name = todo.back();
    todo.pop_back();
    if (!seen.insert(name).second) continue;
    EXPECT_FALSE(std::regex_search(name, gui)) << "alarm reaches " << name;
    if (const auto it = targets.find(name); it != targets.end())
      todo.insert(todo.end(), it->second.links.begin(), it->second.links.end());
  }
  EXPECT_TRUE(seen.count("Qt6::Core")) << "alarm is on Qt Core";
}
