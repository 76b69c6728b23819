#include "runtime/MemoryBudget.h"

#include <sys/resource.h>

#include <ctime>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/CgroupMemory.h"
#include "runtime/CountText.h"

namespace lumenark {
namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kUnlimited = ~std::uint64_t{0};
// What the process needs beside the counted bytes: code, libraries, stacks, the
// window system. Taken off every limit of the process.
constexpr std::uint64_t kUncountedMargin = 64 * kMiB;
constexpr std::uint64_t kLeastReserve = 256 * kMiB;
// An eighth of a 24 GB machine is 3 GB that the engine could not use while only 2.5 GB
// are free; other programs do not grow with the machine.
constexpr std::uint64_t kMostReserve = 1024 * kMiB;
// Never less than this, so that a small formula still works on a machine that reports
// almost nothing available; past a real limit the allocation itself fails cleanly.
constexpr std::uint64_t kLeastHeadroom = 32 * kMiB;
constexpr std::uint64_t kHeadroomWithoutFigures = 1024 * kMiB;

std::optional<std::uint64_t> explicitLimit;
std::atomic<std::uint64_t> budget{kUnlimited};  // nothing is refused before the first command
MemoryLimitSource budgetSource = MemoryLimitSource::System;
std::atomic<std::uint64_t> inUse{0};
void (*reclaimer)() = nullptr;
thread_local bool reclaiming = false;

// "Name:   1234 kB" lines of /proc/meminfo and /proc/self/status.
std::optional<std::uint64_t> KilobyteField(const std::string& path, std::string_view name) {
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    if (line.size() <= name.size() || line.compare(0, name.size(), name) != 0 || line[name.size()] != ':') continue;
    std::istringstream value(line.substr(name.size() + 1));
    std::uint64_t kilobytes = 0;
    if (value >> kilobytes) return kilobytes * 1024;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> SoftLimit(int resource) {
  rlimit limit{};
  if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return static_cast<std::uint64_t>(limit.rlim_cur);
}

std::uint64_t RoomBelow(std::uint64_t limit, std::uint64_t used) {
  return limit > used + kUncountedMargin ? limit - used - kUncountedMargin : 0;
}

}  // namespace

MemoryFacts ReadMemoryFacts() {
  MemoryFacts facts;
#ifdef __EMSCRIPTEN__
  // A WebAssembly module has no /proc and no process limits: its memory is its own,
  // bounded by the module's maximum, which its budget is set to.
  return facts;
#endif
  facts.memAvailable = KilobyteField("/proc/meminfo", "MemAvailable");
  facts.memTotal = KilobyteField("/proc/meminfo", "MemTotal");
  facts.addressSpaceLimit = SoftLimit(RLIMIT_AS);
  facts.dataLimit = SoftLimit(RLIMIT_DATA);
  facts.addressSpaceUsed = KilobyteField("/proc/self/status", "VmSize").value_or(0);
  facts.dataUsed = KilobyteField("/proc/self/status", "VmData").value_or(0);
  facts.cgroupRoom = CgroupMemoryRoom(ReadTextFile("/proc/self/cgroup"), "/sys/fs/cgroup");
  return facts;
}

std::uint64_t DefaultMemoryHeadroom(const MemoryFacts& facts) { return DefaultMemoryHeadroomAndSource(facts).bytes; }

MemoryHeadroom DefaultMemoryHeadroomAndSource(const MemoryFacts& facts) {
  MemoryHeadroom room{kHeadroomWithoutFigures, MemoryLimitSource::System};
  if (facts.memAvailable) {
    const std::uint64_t reserve = std::clamp(facts.memTotal.value_or(0) / 8, kLeastReserve, kMostReserve);
    room.bytes = RoomBelow(*facts.memAvailable, reserve);
  }
  if (const std::optional<MemoryHeadroom> process = ProcessLimitHeadroom(facts); process && process->bytes < room.bytes) {
    room = *process;
  }
  room.bytes = std::max(room.bytes, kLeastHeadroom);
  return room;
}

std::optional<MemoryHeadroom> ProcessLimitHeadroom(const MemoryFacts& facts) {
  std::optional<MemoryHeadroom> room;
  auto consider = [&](std::uint64_t bytes, MemoryLimitSource source) {
    if (!room || bytes < room->bytes) room = MemoryHeadroom{bytes, source};
  };
  if (facts.addressSpaceLimit) {
    consider(RoomBelow(*facts.addressSpaceLimit, facts.addressSpaceUsed), MemoryLimitSource::AddressSpace);
  }
  if (facts.dataLimit) consider(RoomBelow(*facts.dataLimit, facts.dataUsed), MemoryLimitSource::DataSegment);
  if (facts.cgroupRoom) consider(RoomBelow(*facts.cgroupRoom, 0), MemoryLimitSource::Cgroup);
  return room;
}

std::uint64_t RoomUnderProcessLimits(const MemoryFacts& facts) {
  std::uint64_t room = kUnlimited;
  if (facts.addressSpaceLimit) room = std::min(room, *facts.addressSpaceLimit - std::min(*facts.addressSpaceLimit, facts.addressSpaceUsed));
  if (facts.dataLimit) room = std::min(room, *facts.dataLimit - std::min(*facts.dataLimit, facts.dataUsed));
  return room;
}

std::optional<std::uint64_t> ParseMemorySize(std::string_view text) {
  std::uint64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end == text.data() || number == 0) return std::nullopt;
  std::string unit(end, text.data() + text.size());
  std::transform(unit.begin(), unit.end(), unit.begin(), [](unsigned char c) { return std::toupper(c); });
  int shift = 0;
  if (!unit.empty() && (unit[0] == 'K' || unit[0] == 'M' || unit[0] == 'G' || unit[0] == 'T')) {
    shift = unit[0] == 'K' ? 10 : unit[0] == 'M' ? 20 : unit[0] == 'G' ? 30 : 40;
    unit.erase(0, 1);
    if (unit == "IB") unit = "B";
  }
  if (!unit.empty() && unit != "B") return std::nullopt;
  if (number > (kUnlimited >> shift)) return std::nullopt;
  return number << shift;
}

void SetMemoryLimit(std::optional<std::uint64_t> bytes) { explicitLimit = bytes; }

std::optional<std::uint64_t> MemoryLimitFromEnvironment() {
  const char* value = std::getenv(kMemoryLimitVariable);
  if (value == nullptr) return std::nullopt;
  return ParseMemorySize(value);
}

std::optional<std::string> MemoryLimitEnvironmentError() {
  const char* value = std::getenv(kMemoryLimitVariable);
  if (value == nullptr || ParseMemorySize(value)) return std::nullopt;
  // Shown as it is, but printable and not endless.
  const std::string_view text(value);
  std::string shown;
  for (const char c : text.substr(0, 40)) shown += c >= 32 && c < 127 ? c : '?';
  if (text.size() > 40) shown += "...";
  return std::string("The environment variable ") + kMemoryLimitVariable + " is \"" + shown +
         "\", not a size such as 512M or 2G.";
}

namespace {

// Reading the machine's figures takes longer than a small command, so what is read holds
// for a quarter of a second; a budget taken from them is absolute (what was in use then
// plus the headroom then), since the figures already reflect what the engine held.
class MachineReading {
 public:
  // What the engine held and the headroom, read afresh when the last reading is old.
  std::pair<std::uint64_t, const MemoryFacts&> Current() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    const std::uint64_t milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
    if (!read_ || milliseconds - takenAt_ >= 250) {
      facts_ = ReadMemoryFacts();
      inUseThen_ = inUse.load();
      takenAt_ = milliseconds;
      read_ = true;
    }
    return {inUseThen_, facts_};
  }

 private:
  bool read_ = false;
  std::uint64_t takenAt_ = 0;
  std::uint64_t inUseThen_ = 0;
  MemoryFacts facts_;
};

MachineReading machine;

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) { return a > kUnlimited - b ? kUnlimited : a + b; }

}  // namespace

void BeginMemoryBudget() {
  const auto [inUseThen, facts] = machine.Current();
  MemoryHeadroom room{kUnlimited, MemoryLimitSource::Set};
  if (explicitLimit) {
    // Past the process's own limits allocation fails before an explicit budget is
    // reached; the budget is then what those limits leave, and the message names them.
    if (const std::optional<MemoryHeadroom> process = ProcessLimitHeadroom(facts)) {
      room = {std::max(process->bytes, kLeastHeadroom), process->source};
    }
    const std::uint64_t processBudget = SaturatingSum(inUseThen, room.bytes);
    budget = std::min(*explicitLimit, processBudget);
    budgetSource = *explicitLimit <= processBudget ? MemoryLimitSource::Set : room.source;
    return;
  }
  room = DefaultMemoryHeadroomAndSource(facts);
  budget = SaturatingSum(inUseThen, room.bytes);
  budgetSource = room.source;
}

std::uint64_t MemoryBudgetBytes() { return budget; }

bool MemoryLimitIsExplicit() { return explicitLimit.has_value(); }

MemoryLimitSource MemoryBudgetSource() { return budgetSource; }

std::string MemorySizeText(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
  std::size_t unit = 0;
  std::uint64_t whole = bytes, tenths = 0;
  while (unit + 1 < std::size(kUnits) && whole >= 1024) {
    tenths = (bytes >> (10 * unit)) % 1024 * 10 / 1024;
    whole /= 1024;
    ++unit;
  }
  if (unit == 0) return CountOf(bytes, "byte");
  std::string text = std::to_string(whole);
  if (whole < 10 && tenths != 0) {
    text += '.';
    text += std::to_string(tenths);
  }
  return text + " " + kUnits[unit];
}

std::string MemoryLimitLine() {
  const std::string limit = "The limit is " + MemorySizeText(budget);
  const std::string setAnother = std::string("; set another with ") + kMemoryLimitVariable + " or lumenark-cli --memory-limit.";
  const std::string wasSet = explicitLimit ? " (" + MemorySizeText(*explicitLimit) + " was set)" : "";
  switch (budgetSource) {
    case MemoryLimitSource::Set: return limit + ", as set" + setAnother;
    case MemoryLimitSource::System: return limit + ", what the system can spare" + setAnother;
    case MemoryLimitSource::AddressSpace:
      return limit + ", what the address-space limit (ulimit -v) leaves" + wasSet + "; raise that limit for more.";
    case MemoryLimitSource::DataSegment:
      return limit + ", what the data-segment limit (ulimit -d) leaves" + wasSet + "; raise that limit for more.";
    case MemoryLimitSource::Cgroup:
      return limit + ", what the memory cgroup's limit (memory.max) leaves" + wasSet + "; raise that limit for more.";
  }
  return limit + ".";
}

std::string InsufficientMemoryText() { return std::string(kInsufficientMemoryMessage) + "\n" + MemoryLimitLine(); }

void SetMemoryReclaimer(void (*reclaim)()) { reclaimer = reclaim; }

bool ChargeMemory(std::size_t bytes) {
  std::uint64_t now = inUse.load(std::memory_order_relaxed);
  do {
    if (bytes > budget.load(std::memory_order_relaxed) - std::min(now, budget.load(std::memory_order_relaxed))) {
      if (reclaimer == nullptr || reclaiming) return false;
      reclaiming = true;
      reclaimer();
      reclaiming = false;
      now = inUse.load(std::memory_order_relaxed);
      if (bytes > budget.load(std::memory_order_relaxed) - std::min(now, budget.load(std::memory_order_relaxed))) {
        return false;
      }
    }
  } while (!inUse.compare_exchange_weak(now, now + bytes, std::memory_order_relaxed));
  return true;
}

void ReleaseMemory(std::size_t bytes) { inUse.fetch_sub(bytes, std::memory_order_relaxed); }

std::uint64_t MemoryInUse() { return inUse.load(); }

}  // namespace lumenark
