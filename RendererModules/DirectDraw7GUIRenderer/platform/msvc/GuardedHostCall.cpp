// Calls into host code under the module's own frame on the exception-handler chain, which takes
// that compiler's C++ exceptions thrown by host code in the order that runtime handles a catch:
// the object is copied (as into a catch by value), the host's frames are unwound, and only then
// is the original destroyed.

#include <new>

#include "platform/msvc/KeptHostObjects.h"
#include "platform/msvc/UnwindKeepingRegisters.h"

namespace ZelUISystem {
namespace msvc {
namespace {

constexpr DWORD kUnwinding = 0x2 | 0x4;  // EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND

struct GuardFrame {
    GuardFrame* next;  // the two fields of an exception registration record, in its order
    void* handler;
    void* resume[5];   // __builtin_setjmp's buffer
    CaughtFromHost* caught;
};

bool isCppException(const EXCEPTION_RECORD* record) {
    return record->ExceptionCode == kCppExceptionCode && record->NumberParameters >= 3 &&
           record->ExceptionInformation[0] >= kMagic &&
           record->ExceptionInformation[0] <= kNewestMagic &&
           record->ExceptionInformation[1] != 0 && record->ExceptionInformation[2] != 0;
}

extern "C" EXCEPTION_DISPOSITION __cdecl guardHandler(EXCEPTION_RECORD* record, void* frame,
                                                     CONTEXT* /*context*/, void* /*dispatcher*/) {
    if ((record->ExceptionFlags & kUnwinding) != 0 || !isCppException(record))
        return ExceptionContinueSearch;
    auto* guard = static_cast<GuardFrame*>(frame);
    void* object = reinterpret_cast<void*>(record->ExceptionInformation[1]);
    const auto* info = reinterpret_cast<const ThrowInfo*>(record->ExceptionInformation[2]);
    guard->caught->kept = keepThrown(object, *info);
    guard->caught->outOfMemory = guard->caught->kept == nullptr;
    // Runs the clean-up of every frame between the thrower and this one, and unlinks them.
    dd7rUnwindKeepingRegisters(frame, nullptr, record, nullptr);
    destroyThrown(*info, object);
    __builtin_longjmp(guard->resume, 1);
}

GuardFrame* currentHandlerFrame() {
    GuardFrame* frame;
    asm volatile("movl %%fs:0, %0" : "=r"(frame));
    return frame;
}

void setHandlerFrame(GuardFrame* frame) { asm volatile("movl %0, %%fs:0" : : "r"(frame) : "memory"); }

}  // namespace

__attribute__((noinline)) bool callGuarded(void (*call)(void*), void* context,
                                           CaughtFromHost& caught) {
    GuardFrame frame;
    frame.next = currentHandlerFrame();
    frame.handler = reinterpret_cast<void*>(&guardHandler);
    frame.caught = &caught;
    if (__builtin_setjmp(frame.resume) != 0) {
        setHandlerFrame(frame.next);
        return false;
    }
    setHandlerFrame(&frame);
    call(context);
    setHandlerFrame(frame.next);
    return true;
}

void rethrowCaught(const CaughtFromHost& caught) {
    KeptObject kept(caught.kept);
    if (!kept) {
        if (caught.outOfMemory) throw std::bad_alloc();
        throw ForeignException();
    }
    if (const char* text = keptText(caught.kept)) throw HostStandardError(text, kept);
    throw ForeignException(kept);
}

}  // namespace msvc
}  // namespace ZelUISystem
