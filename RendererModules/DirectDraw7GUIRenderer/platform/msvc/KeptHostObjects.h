#pragma once
// Host objects the module keeps (KeptHostObjects.cpp), and the module's standard exceptions
// (StandardExceptions.cpp): what the boundary's other parts call.

#include "platform/HostExceptions.h"
#include "platform/msvc/ExceptionRecords.h"

namespace ZelUISystem {
namespace msvc {

// A copy of a thrown object, made as that runtime copies into a catch by value, in storage of
// its own that can be raised again as the very same type; null when memory runs out.
void* keepThrown(void* object, const ThrowInfo& info) noexcept;
// The text of a kept standard exception; null when it is none.
const char* keptText(void* kept) noexcept;
// Raises the kept object to the host, which then holds the reference the caller shared.
[[noreturn]] void handBack(void* kept);

// A text block for raiseText(..., owned = true); null when memory runs out.
const char* makeText(const char* text) noexcept;
[[noreturn]] void raiseText(HostExceptionType type, const char* text, bool owned);
[[noreturn]] void raiseBadAlloc();

}  // namespace msvc
}  // namespace ZelUISystem
