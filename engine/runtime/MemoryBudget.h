#pragma once
// The memory budget. A formula can grow without bound (a normal form doubles with every
// alternation of '&' and '|'), and on Linux allocation does not fail: the kernel lets the
// process grow until its out-of-memory killer ends it, and with it every window. So the
// engine counts what it holds -- node memory, the side structures of its algorithms, text
// held in memory -- and refuses to grow past a budget. A refused charge ends the command
// exactly as exhausted memory does: as a stop, with "Insuficient memory.".
//
// The budget is a limit on the counted bytes. Unless set explicitly, each command takes
// it afresh from the machine when it starts (DefaultMemoryHeadroom): what the engine
// holds already, plus what the system can still give without swapping or hitting a
// limit of the process or of its memory cgroup.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumenark {

// The message the engine shows when memory runs out.
inline constexpr std::string_view kInsufficientMemoryMessage = "Insuficient memory.";

// ---- The policy -------------------------------------------------------------------------
// What the machine allows now, as read from /proc and the process's limits. Absent
// values are unknown or unlimited.
struct MemoryFacts {
  std::optional<std::uint64_t> memAvailable;       // /proc/meminfo MemAvailable
  std::optional<std::uint64_t> memTotal;           // /proc/meminfo MemTotal
  std::optional<std::uint64_t> addressSpaceLimit;  // RLIMIT_AS, when set
  std::uint64_t addressSpaceUsed = 0;              // VmSize
  std::optional<std::uint64_t> dataLimit;          // RLIMIT_DATA, when set
  std::uint64_t dataUsed = 0;                      // VmData
  std::optional<std::uint64_t> cgroupRoom;         // least (limit - usage) of the process's memory cgroups
};

MemoryFacts ReadMemoryFacts();

// Which limit decides the budget: the one set (SetMemoryLimit), what the system can
// spare (MemAvailable less the reserve), or a limit of the process: its address space
// (ulimit -v), its data segment (ulimit -d), its memory cgroups (memory.max).
enum class MemoryLimitSource { Set, System, AddressSpace, DataSegment, Cgroup };

struct MemoryHeadroom {
  std::uint64_t bytes;
  MemoryLimitSource source;  // the figure that gave bytes (System without any figure)
};

// The bytes a command may add to what the engine holds: MemAvailable less a reserve for
// the rest of the system (an eighth of MemTotal, at least 256 MiB and at most 1 GiB:
// a large machine's other programs need no more than a small one's), and no more than
// what RLIMIT_AS leaves above VmSize, RLIMIT_DATA above VmData, and the memory cgroups
// above their usage; each less 64 MiB for what the engine does not count (code,
// libraries, stacks, the window system), so that the process as a whole stays within.
// Without any figure, 1 GiB.
std::uint64_t DefaultMemoryHeadroom(const MemoryFacts& facts);
// The same, with the figure that decided it.
MemoryHeadroom DefaultMemoryHeadroomAndSource(const MemoryFacts& facts);
// What the limits of the process alone (address space, data segment, cgroups) let a
// command add, with the one that decides; nothing when none is set. A budget set
// explicitly cannot pass them: past them allocation fails before the budget is reached.
std::optional<MemoryHeadroom> ProcessLimitHeadroom(const MemoryFacts& facts);

// What RLIMIT_AS leaves above VmSize and RLIMIT_DATA above VmData, the less of the two;
// unlimited without either.
std::uint64_t RoomUnderProcessLimits(const MemoryFacts& facts);

// "64M", "2G", "512K", "1000000" (bytes); suffixes are powers of 1024, either case, an
// optional "B" or "iB" after them. Nothing for anything else, or zero.
std::optional<std::uint64_t> ParseMemorySize(std::string_view text);

// ---- The budget ---------------------------------------------------------------------------
// An explicit budget in counted bytes, or nothing to take it from the machine.
void SetMemoryLimit(std::optional<std::uint64_t> bytes);
// The explicit budget named by the environment variable LUMENARK_MEMORY_LIMIT, if set
// and valid; the desktop program and lumenark-cli take it at start.
std::optional<std::uint64_t> MemoryLimitFromEnvironment();
inline constexpr const char* kMemoryLimitVariable = "LUMENARK_MEMORY_LIMIT";
// The error of a variable that is set but holds no size (ParseMemorySize): "The
// environment variable LUMENARK_MEMORY_LIMIT is "abc", not a size such as 512M or 2G.";
// nothing when it is unset or valid. Both programs report it instead of ignoring it.
std::optional<std::string> MemoryLimitEnvironmentError();

// Fixes the budget for the command that starts now: the explicit limit, or what the
// engine holds plus the machine's headroom; in both cases no more than what the engine
// holds plus what the process's own limits leave (ProcessLimitHeadroom).
void BeginMemoryBudget();
std::uint64_t MemoryBudgetBytes();
// Whether the budget is an explicit one (SetMemoryLimit) rather than the machine's.
bool MemoryLimitIsExplicit();
// The limit that decided the budget in force.
MemoryLimitSource MemoryBudgetSource();

// ---- The message ------------------------------------------------------------------------
// The line shown below "Insuficient memory.": the budget in force, the limit that
// decided it, and how to set another: "The limit is 64 MiB, as set; set another with
// LUMENARK_MEMORY_LIMIT or lumenark-cli --memory-limit." (or "..., what the system can
// spare; ..."); where a limit of the process decided, that limit and what it can be
// raised with: "The limit is 150 MiB, what the address-space limit (ulimit -v) leaves
// (2 GiB was set); raise that limit for more.". The same text in the window and on the
// command line, which take the same variable.
std::string MemoryLimitLine();
// "Insuficient memory." with MemoryLimitLine below it, as every command shows it.
std::string InsufficientMemoryText();
// A size for people: "512 KiB", "64 MiB", "1.5 GiB" (whole below 10, else rounded down).
std::string MemorySizeText(std::uint64_t bytes);

// ---- Counting -------------------------------------------------------------------------------
// Counts bytes against the budget. False, and nothing counted, when they would pass it.
bool ChargeMemory(std::size_t bytes);
// Counts bytes given back. Safe from any thread.
void ReleaseMemory(std::size_t bytes);
// Bytes counted now.
std::uint64_t MemoryInUse();

// Called when a charge would pass the budget, before it is refused: gives back memory
// that is taken but not used (free nodes of the pool), after which the charge is tried
// once more. Set by the node pool.
void SetMemoryReclaimer(void (*reclaim)());

// A charge held for the life of a scope: Held() tells whether it was granted.
class MemoryCharge {
 public:
  explicit MemoryCharge(std::size_t bytes) : bytes_(ChargeMemory(bytes) ? bytes : 0), held_(bytes_ == bytes) {}
  ~MemoryCharge() { ReleaseMemory(bytes_); }
  MemoryCharge(const MemoryCharge&) = delete;
  MemoryCharge& operator=(const MemoryCharge&) = delete;
  bool Held() const { return held_; }

 private:
  std::size_t bytes_;
  bool held_;
};

}  // namespace lumenark
