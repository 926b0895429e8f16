#pragma once
// How exceptions cross the boundary between the module and the code it serves.
//
// A host or logging library built by mingw-w64 shares the module's C++ runtime: exceptions pass
// both ways as they are, and both helpers below are plain calls.
//
// The module built for hosts of Microsoft's compiler (DD7R_MSVC_HOSTS) cannot throw to them or
// catch from them with its own runtime, so (platform/msvc/):
// - callHost runs a call into host or logging-library code under a structured-exception frame
//   that recognises that compiler's C++ exceptions. It keeps a copy of the thrown object (as a
//   catch by value would), unwinds the host's frames, destroys the original, and throws on in
//   the module: a HostStandardError (a std::runtime_error with the host's text) when it is a
//   standard exception, a ForeignException for anything else, each carrying the kept copy. The
//   module's own clean-up then runs. Host code runs outside any slot: if it calls the module
//   back, that call gets a boundary of its own.
// - atHostBoundary runs a slot's body and, once the module's own frames have unwound, raises
//   what it threw: the kept host object itself where the slot lets failures through, else that
//   compiler's standard exception with the text (std::bad_alloc when memory runs out).
// Calls nest (the capture's recorders call the slots again): only the outermost slot raises.
// All of it is per thread: the nesting depth lives in thread-local storage, kept objects in the
// exceptions that carry them.

#include <exception>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace ZelUISystem {

// The type a slot's failures reach a host of Microsoft's compiler as.
enum class HostExceptionType {
    Exception,     // std::exception (the createTexture overloads)
    RuntimeError,  // std::runtime_error, catchable as std::exception too
};

// What a host receives when its own code, called from inside a slot, threw.
enum class HostExceptionPolicy {
    // The slot catches failures and reports them in its own words (createRenderer, the loading
    // step of createTexture): the host's object becomes the slot's text.
    Convert,
    // The slot lets failures through: the host gets back the very object its code threw.
    PassThrough,
};

#if defined(DD7R_MSVC_HOSTS)
namespace msvc {

// How deep the calling thread is in slots; 0 in host code.
int slotDepth() noexcept;
void setSlotDepth(int depth) noexcept;
// Whether the calling thread is already inside a slot's boundary (a nested call).
inline bool insideSlot() { return slotDepth() > 0; }

// A host object the module keeps (see KeptHostObjects.cpp): shared by the module's exceptions
// that carry it; destroyed with the last of them unless it was handed back to the host.
void* shareKept(void* kept) noexcept;
void releaseKept(void* kept) noexcept;
class KeptObject {
public:
    KeptObject() noexcept = default;
    explicit KeptObject(void* adopted) noexcept : kept_(adopted) {}
    KeptObject(const KeptObject& other) noexcept : kept_(shareKept(other.kept_)) {}
    KeptObject& operator=(const KeptObject& other) noexcept {
        void* shared = shareKept(other.kept_);
        releaseKept(kept_);
        kept_ = shared;
        return *this;
    }
    ~KeptObject() { releaseKept(kept_); }
    explicit operator bool() const noexcept { return kept_ != nullptr; }
    void* share() const noexcept { return shareKept(kept_); }

private:
    void* kept_ = nullptr;
};

}  // namespace msvc
#endif

// What host code threw that is not a standard exception. It has no text; the module treats it
// as an unknown error, and where it leaves a slot the host receives its own object back.
class ForeignException {
#if defined(DD7R_MSVC_HOSTS)
public:
    ForeignException() = default;
    explicit ForeignException(msvc::KeptObject kept) : kept_(std::move(kept)) {}
    const msvc::KeptObject& kept() const { return kept_; }

private:
    msvc::KeptObject kept_;
#endif
};

#if defined(DD7R_MSVC_HOSTS)
namespace msvc {

// A standard exception thrown by host code, with its text for the module's own handlers.
class HostStandardError : public std::runtime_error {
public:
    HostStandardError(const char* text, KeptObject kept)
        : std::runtime_error(text), kept_(std::move(kept)) {}
    const KeptObject& kept() const { return kept_; }

private:
    KeptObject kept_;
};

// What a guarded call took from host code that threw: the kept copy, or none when memory ran
// out making it.
struct CaughtFromHost {
    void* kept = nullptr;
    bool outOfMemory = false;
};
// Runs call(context) under the frame; false when host code threw (see rethrowCaught).
bool callGuarded(void (*call)(void*), void* context, CaughtFromHost& caught);
[[noreturn]] void rethrowCaught(const CaughtFromHost& caught);

// What a slot raises to the host; owns nothing the module's unwinding would have to free, since
// the frames it crosses are dropped without their clean-up.
struct HostRaise {
    enum class Kind { OwnedText, FixedText, BadAlloc, Kept } kind;
    const char* text;
    void* kept;
};
// Called in a handler: what the exception being handled becomes for the host.
HostRaise whatToRaise(HostExceptionPolicy policy) noexcept;
[[noreturn]] void raiseForHost(HostExceptionType type, const HostRaise& raise);

// Slot depth one deeper for the slot's body; restored when the body is done.
class SlotScope {
public:
    SlotScope() : outer_(slotDepth()) { setSlotDepth(outer_ + 1); }
    ~SlotScope() { leave(); }
    SlotScope(const SlotScope&) = delete;
    SlotScope& operator=(const SlotScope&) = delete;
    void leave() {
        if (inside_) setSlotDepth(outer_);
        inside_ = false;
    }

private:
    int outer_;
    bool inside_ = true;
};

// Host code is outside every slot: a call back into the module gets a boundary of its own.
class HostCodeScope {
public:
    HostCodeScope() : outer_(slotDepth()) { setSlotDepth(0); }
    ~HostCodeScope() { setSlotDepth(outer_); }
    HostCodeScope(const HostCodeScope&) = delete;
    HostCodeScope& operator=(const HostCodeScope&) = delete;

private:
    int outer_;
};

}  // namespace msvc
#endif

// A standard exception that host code threw, as the module's handlers see it. A handler that
// rewords failures in the slot's own words catches it first and rethrows it where the host is
// to get its own object back. A host built by mingw-w64 shares the module's runtime: its
// exceptions are the module's own and never arrive as this type.
#if defined(DD7R_MSVC_HOSTS)
using HostStandardError = msvc::HostStandardError;
#else
class HostStandardError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
#endif

template <typename Call>
decltype(auto) callHost(Call&& call) {
#if defined(DD7R_MSVC_HOSTS)
    using Result = decltype(call());
    // What the module's own runtime throws inside (host code calling back into the module) is
    // carried over the frame, which must be unlinked before it travels on.
    struct Context {
        std::remove_reference_t<Call>* call;
        std::conditional_t<std::is_void_v<Result>, bool, Result> result{};
        std::exception_ptr moduleException;
    } context{&call, {}, {}};
    msvc::HostCodeScope hostCode;
    auto run = [](void* opaque) {
        auto* inside = static_cast<Context*>(opaque);
        try {
            if constexpr (std::is_void_v<Result>)
                (*inside->call)();
            else
                inside->result = (*inside->call)();
        } catch (...) {
            inside->moduleException = std::current_exception();
        }
    };
    msvc::CaughtFromHost caught;
    if (!msvc::callGuarded(run, &context, caught)) msvc::rethrowCaught(caught);
    if (context.moduleException) std::rethrow_exception(context.moduleException);
    if constexpr (!std::is_void_v<Result>) return context.result;
#else
    return call();
#endif
}

template <typename Body>
decltype(auto) atHostBoundary(HostExceptionType type, HostExceptionPolicy policy, Body&& body) {
#if defined(DD7R_MSVC_HOSTS)
    if (msvc::insideSlot()) return body();
    msvc::SlotScope scope;
    msvc::HostRaise raise{};
    try {
        return body();
    } catch (...) {
        raise = msvc::whatToRaise(policy);
    }
    // Raised here, outside the handlers: the module's exception and frames are gone by now.
    scope.leave();
    msvc::raiseForHost(type, raise);
#else
    (void)type;
    (void)policy;
    return body();
#endif
}

}  // namespace ZelUISystem
