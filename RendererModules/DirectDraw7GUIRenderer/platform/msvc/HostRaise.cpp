// What a slot's failure becomes for a host of Microsoft's compiler, and raising it.

#include <new>

#include "platform/msvc/KeptHostObjects.h"

namespace ZelUISystem {
namespace msvc {
namespace {

HostRaise ownedText(const char* text) {
    const char* owned = makeText(text);
    if (owned == nullptr) return {HostRaise::Kind::BadAlloc, nullptr, nullptr};
    return {HostRaise::Kind::OwnedText, owned, nullptr};
}

HostRaise unknownError() { return {HostRaise::Kind::FixedText, "Unknow error!", nullptr}; }

HostRaise handedBack(const KeptObject& kept) { return {HostRaise::Kind::Kept, nullptr, kept.share()}; }

}  // namespace

HostRaise whatToRaise(HostExceptionPolicy policy) noexcept {
    const bool passThrough = policy == HostExceptionPolicy::PassThrough;
    try {
        throw;
    } catch (const HostStandardError& error) {
        return passThrough && error.kept() ? handedBack(error.kept()) : ownedText(error.what());
    } catch (const ForeignException& error) {
        return passThrough && error.kept() ? handedBack(error.kept()) : unknownError();
    } catch (const std::bad_alloc& error) {
        // Where failures pass through, running out of memory is that runtime's std::bad_alloc.
        return passThrough ? HostRaise{HostRaise::Kind::BadAlloc, nullptr, nullptr}
                           : ownedText(error.what());
    } catch (const std::exception& error) {
        return ownedText(error.what());
    } catch (...) {
        return unknownError();
    }
}

void raiseForHost(HostExceptionType type, const HostRaise& raise) {
    switch (raise.kind) {
        case HostRaise::Kind::Kept: handBack(raise.kept);
        case HostRaise::Kind::OwnedText: raiseText(type, raise.text, true);
        case HostRaise::Kind::FixedText: raiseText(type, raise.text, false);
        case HostRaise::Kind::BadAlloc: break;
    }
    raiseBadAlloc();
}

}  // namespace msvc
}  // namespace ZelUISystem
