#pragma once
// A call into the logging library that threw during a host call, kept in the capture after the
// call's record: a replay has no logging library, so a host call that threw because the logging
// library did is no divergence there.

namespace ZelUISystem {
namespace capture {

// Does nothing unless a capture's host call is running; never throws.
void noteLoggerThrow(bool standardException, const char* text) noexcept;

}  // namespace capture
}  // namespace ZelUISystem
