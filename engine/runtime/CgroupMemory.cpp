#include "runtime/CgroupMemory.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

namespace lumenark {
namespace {

// v1 writes "no limit" as a number near 2^63.
constexpr std::uint64_t kNoLimitAbove = std::uint64_t{1} << 60;

std::optional<std::uint64_t> NumberIn(const std::string& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

// The room left at one cgroup directory, if it has a limit.
std::optional<std::uint64_t> RoomAt(const std::string& directory, const char* limitFile, const char* usageFile) {
  const std::optional<std::uint64_t> limit = NumberIn(ReadTextFile(directory + "/" + limitFile));
  if (!limit || *limit >= kNoLimitAbove) return std::nullopt;  // "max", missing, or no limit
  const std::uint64_t usage = NumberIn(ReadTextFile(directory + "/" + usageFile)).value_or(0);
  return *limit > usage ? *limit - usage : 0;
}

// The least room from the cgroup at path up to the root of the hierarchy at mount.
std::optional<std::uint64_t> RoomOnPath(const std::string& mount, std::string path, const char* limitFile,
                                        const char* usageFile) {
  std::optional<std::uint64_t> least;
  for (;;) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (const auto room = RoomAt(mount + (path == "/" ? "" : path), limitFile, usageFile)) {
      least = least ? std::min(*least, *room) : *room;
    }
    if (path.empty() || path == "/") return least;
    path.resize(path.rfind('/') == 0 ? 1 : path.rfind('/'));
  }
}

bool NamesMemoryController(std::string_view controllers) {
  while (!controllers.empty()) {
    const std::size_t comma = controllers.find(',');
    if (controllers.substr(0, comma) == "memory") return true;
    if (comma == std::string_view::npos) break;
    controllers.remove_prefix(comma + 1);
  }
  return false;
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::optional<std::uint64_t> CgroupMemoryRoom(std::string_view procSelfCgroup, const std::string& sysfsRoot) {
  std::optional<std::uint64_t> least;
  auto take = [&](std::optional<std::uint64_t> room) {
    if (room) least = least ? std::min(*least, *room) : *room;
  };
  while (!procSelfCgroup.empty()) {
    const std::size_t end = procSelfCgroup.find('\n');
    const std::string_view line = procSelfCgroup.substr(0, end);
    procSelfCgroup.remove_prefix(end == std::string_view::npos ? procSelfCgroup.size() : end + 1);
    // hierarchy-ID:controllers:path
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) continue;
    const std::string_view controllers = line.substr(first + 1, second - first - 1);
    const std::string path(line.substr(second + 1));
    if (path.empty() || path[0] != '/') continue;
    if (line.substr(0, first) == "0" && controllers.empty()) {
      take(RoomOnPath(sysfsRoot, path, "memory.max", "memory.current"));
    } else if (NamesMemoryController(controllers)) {
      take(RoomOnPath(sysfsRoot + "/memory", path, "memory.limit_in_bytes", "memory.usage_in_bytes"));
    }
  }
  return least;
}

}  // namespace lumenark
