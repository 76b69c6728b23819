#pragma once
// The memory limit of the process's control groups. In a container, /proc/meminfo shows
// the host's memory; the limit that ends the process is its cgroup's. Both versions are
// read: v2 (memory.max, memory.current) and v1 (memory.limit_in_bytes,
// memory.usage_in_bytes), at every level from the process's cgroup up to the root, since
// the tightest level decides.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumenark {

// The least (limit - usage) over the memory cgroups named in procSelfCgroup (the text of
// /proc/self/cgroup), with the cgroup file systems mounted under sysfsRoot
// (/sys/fs/cgroup). Nothing when no level sets a limit.
std::optional<std::uint64_t> CgroupMemoryRoom(std::string_view procSelfCgroup, const std::string& sysfsRoot);

// The whole text of a small file, or an empty text when it cannot be read.
std::string ReadTextFile(const std::string& path);

}  // namespace lumenark
