// How deep each thread is in the module's slots, in a thread-local storage slot of its own: no
// allocation per thread, and two threads in two renderers never see each other's depth.

#include <cstdint>

#include "platform/HostExceptions.h"
#include "platform/Win32Types.h"

namespace ZelUISystem {
namespace msvc {
namespace {

struct DepthSlot {
    DWORD index = TlsAlloc();
    ~DepthSlot() {
        if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
    }
};
const DepthSlot depthSlot;

}  // namespace

int slotDepth() noexcept {
    // TlsGetValue clears the thread's last error; the host may be about to read it.
    const DWORD lastError = GetLastError();
    const auto depth = reinterpret_cast<std::intptr_t>(TlsGetValue(depthSlot.index));
    SetLastError(lastError);
    return static_cast<int>(depth);
}

void setSlotDepth(int depth) noexcept {
    TlsSetValue(depthSlot.index, reinterpret_cast<void*>(static_cast<std::intptr_t>(depth)));
}

}  // namespace msvc
}  // namespace ZelUISystem
