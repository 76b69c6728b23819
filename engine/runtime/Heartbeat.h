#pragma once
// Copying or freeing a large subtree is one step of a rule, too long to leave the
// window without a turn: while a command runs, the tree operations beat now and then,
// and every so many beats the command's host processes pending input. A copy or a
// disposal always runs to its end; the beat only keeps the window (and its Stop
// button) answering meanwhile.

#include <cstdint>

#include "runtime/Host.h"

namespace lumenark {

// While alive, beats on this thread reach host. Scopes nest (a command started in
// another window while this one processes input); each restores the previous host.
class HeartbeatScope {
 public:
  explicit HeartbeatScope(Host& host);
  ~HeartbeatScope();
  HeartbeatScope(const HeartbeatScope&) = delete;
  HeartbeatScope& operator=(const HeartbeatScope&) = delete;

 private:
  Host* previous_;
};

namespace heartbeat_detail {
extern thread_local Host* host;
extern thread_local std::uint32_t beats;
void Process();
}  // namespace heartbeat_detail

// One unit of work done; cheap enough to call per node.
inline void Heartbeat() {
  if (heartbeat_detail::host != nullptr && (++heartbeat_detail::beats & 0xFFFF) == 0) heartbeat_detail::Process();
}

}  // namespace lumenark
