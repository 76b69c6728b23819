#include "runtime/Heartbeat.h"

namespace lumenark {

namespace heartbeat_detail {
thread_local Host* host = nullptr;
thread_local std::uint32_t beats = 0;

void Process() { host->ProcessPendingInput(); }
}  // namespace heartbeat_detail

HeartbeatScope::HeartbeatScope(Host& host) : previous_(heartbeat_detail::host) { heartbeat_detail::host = &host; }

HeartbeatScope::~HeartbeatScope() { heartbeat_detail::host = previous_; }

}  // namespace lumenark
