#include "RecoveryRecord.h"

namespace lumenark::web {
namespace {

std::uint32_t AddressOf(std::string_view bytes) {
  return bytes.empty() ? 0 : static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(bytes.data()));
}

}  // namespace

RecoveryRecord& TheRecoveryRecord() {
  static RecoveryRecord record;
  return record;
}

RecoveryScope::RecoveryScope(std::string_view tree, std::string_view text) {
  TheRecoveryRecord() = {AddressOf(tree), static_cast<std::uint32_t>(tree.size()), AddressOf(text),
                         static_cast<std::uint32_t>(text.size())};
}

}  // namespace lumenark::web
