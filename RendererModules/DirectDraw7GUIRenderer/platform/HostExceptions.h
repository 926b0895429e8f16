#pragma once
// How exceptions cross the boundary between the module and the code it serves.
//
// A host or logging library built by mingw-w64 shares the module's C++ runtime: exceptions pass
// both ways as they are, and both helpers below are plain calls.
//
// The module built for hosts of Microsoft's compiler (DD7R_MSVC_HOSTS) cannot throw to them or
// catch from them with its own runtime, so:
// - atHostBoundary runs a slot's body and raises what it throws to the host as that compiler's
//   standard exception (same text), once the module's own frames have unwound; a non-standard
//   exception that came from the host's code goes back to it unchanged;
// - callHost runs a call into host or logging-library code under a structured-exception frame
//   that recognises that compiler's C++ exceptions, destroys the object, unwinds the foreign
//   frames, and throws on in the module: a std::runtime_error with the text of a standard
//   exception, a ForeignException for anything else. The module's own clean-up then runs.
// Calls nest (the capture's recorders call the slots again): only the outermost slot raises.

#include <exception>
#include <type_traits>
#include <utility>

namespace ZelUISystem {

// What host code threw that is not a standard exception. It has no text; the module treats it
// as an unknown error, and where it leaves a slot the host receives its own object back.
class ForeignException {};

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

extern int slotDepth;
// Whether the calling thread is already inside a slot's boundary (a nested call).
inline bool insideSlot() { return slotDepth > 0; }
// Runs call(context) under the frame; false when host code threw (see rethrowCaught).
bool callGuarded(void (*call)(void*), void* context);
[[noreturn]] void rethrowCaught();
// The text of a module exception, kept by the module for as long as a host may hold it.
const char* keepText(const char* text);
[[noreturn]] void raiseForHost(HostExceptionType type, const char* text);
[[noreturn]] void raiseForeignForHost();

class SlotScope {
public:
    SlotScope() { ++slotDepth; }
    ~SlotScope() { leave(); }
    SlotScope(const SlotScope&) = delete;
    SlotScope& operator=(const SlotScope&) = delete;
    void leave() {
        if (inside_) --slotDepth;
        inside_ = false;
    }

private:
    bool inside_ = true;
};

}  // namespace msvc
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
    if (!msvc::callGuarded(run, &context)) msvc::rethrowCaught();
    if (context.moduleException) std::rethrow_exception(context.moduleException);
    if constexpr (!std::is_void_v<Result>) return context.result;
#else
    return call();
#endif
}

template <typename Body>
decltype(auto) atHostBoundary(HostExceptionType type, HostExceptionPolicy policy, Body&& body) {
#if defined(DD7R_MSVC_HOSTS)
    (void)policy;
    if (msvc::insideSlot()) return body();
    msvc::SlotScope scope;
    const char* text = nullptr;
    try {
        return body();
    } catch (const ForeignException&) {
    } catch (const std::exception& error) {
        text = msvc::keepText(error.what());
    } catch (...) {
        text = msvc::keepText("Unknow error!");
    }
    // Raised here, outside the handlers: the module's exception and frames are gone by now.
    scope.leave();
    if (text == nullptr) msvc::raiseForeignForHost();
    msvc::raiseForHost(type, text);
#else
    (void)type;
    (void)policy;
    return body();
#endif
}

template <typename Body>
decltype(auto) atHostBoundary(HostExceptionType type, Body&& body) {
    const auto policy = type == HostExceptionType::Exception ? HostExceptionPolicy::Convert
                                                             : HostExceptionPolicy::PassThrough;
    return atHostBoundary(type, policy, std::forward<Body>(body));
}

}  // namespace ZelUISystem

// One line at the top of a slot that can fail: `DD7R_HOST_BOUNDARY(RuntimeError, Class::slot(arguments));`
// runs the slot again inside the boundary when the call comes straight from the host.
#if defined(DD7R_MSVC_HOSTS)
#define DD7R_HOST_BOUNDARY(type, slotCall)                                                    \
    if (!::ZelUISystem::msvc::insideSlot())                                                   \
    return ::ZelUISystem::atHostBoundary(::ZelUISystem::HostExceptionType::type,              \
                                         [&] { return slotCall; })
#else
#define DD7R_HOST_BOUNDARY(type, slotCall) static_cast<void>(0)
#endif
