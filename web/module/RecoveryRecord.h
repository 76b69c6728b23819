#pragma once
// What the JavaScript side needs when a command ran off the browser's stack after all:
// the module is then discarded without unwinding, and a fresh one takes over. It reads
// this record from the old module's memory: the snapshot of the running command's tree
// taken before the command (a window's), and the text of the batch before the running
// command, so that both can be put back as they were.

#include <cstdint>
#include <string_view>

namespace lumenark::web {

struct RecoveryRecord {
  std::uint32_t treeBytes = 0;  // address of the snapshot (formula/TreeSnapshot.h), 0 for none
  std::uint32_t treeSize = 0;
  std::uint32_t textBytes = 0;  // address of the batch's text before the command, 0 for none
  std::uint32_t textSize = 0;
};

// The record, at an address that never changes.
RecoveryRecord& TheRecoveryRecord();

// Sets the record for the time of a command; empty views leave their part empty.
class RecoveryScope {
 public:
  RecoveryScope(std::string_view tree, std::string_view text);
  ~RecoveryScope() { TheRecoveryRecord() = {}; }
  RecoveryScope(const RecoveryScope&) = delete;
  RecoveryScope& operator=(const RecoveryScope&) = delete;
};

}  // namespace lumenark::web
