#pragma once
// The one line at the top of every slot the slot list gives a prologue:
//
//   DD7R_SLOT(submitQuad, destRect, z, texture, sourceRect, colours, reserved);   (a member slot)
//   DD7R_EXPORT_SLOT(createRenderer, device, reserved, ...);                        (an export)
//
// It does, as the slot's row says:
// - the exception boundary, when the call comes straight from the host (platform/HostExceptions.h:
//   the slot runs again inside atHostBoundary with the row's exception type and policy);
// - the capture's recorder, when a capture is being written and the call comes from the host:
//   `slotRecorders` points at a table of the recorders themselves (both defined in
//   capture/SlotRecorders.cpp), and the recorder runs the slot again (its body, the table being
//   cleared meanwhile) and records it.
// Otherwise the slot's body runs as if neither existed.

#include <utility>

#include "diagnostics/SlotList.h"
#include "platform/HostExceptions.h"

struct IDirectDrawSurface7;

namespace ZelUISystem {

class CDD7Render;
class CDD7Texture;

namespace slots {

template <typename Self, typename Function>
struct RecorderOf;
template <typename Self, typename Result, typename... Parameters>
struct RecorderOf<Self, Result(Parameters...)> {
    using type = Result (*)(Self, Parameters...);
};

// One recorder per slot, taking the object (an export: the export itself) and the slot's
// arguments; null for the slots a capture does not record.
struct SlotRecorders {
#define DD7R_RECORDER(self, id, member, result, parameters, ...) \
    typename RecorderOf<self, result parameters>::type id = nullptr;
#define DD7R_RENDERER_RECORDER(...) DD7R_RECORDER(CDD7Render*, __VA_ARGS__)
#define DD7R_TEXTURE_RECORDER(...) DD7R_RECORDER(CDD7Texture*, __VA_ARGS__)
#define DD7R_EXPORT_RECORDER(id, ...) DD7R_RECORDER(decltype(&::id), id, __VA_ARGS__)
    DD7R_RENDERER_SLOTS(DD7R_RENDERER_RECORDER)
    DD7R_TEXTURE_SLOTS(DD7R_TEXTURE_RECORDER)
    DD7R_EXPORT_SLOTS(DD7R_EXPORT_RECORDER)
#undef DD7R_RENDERER_RECORDER
#undef DD7R_TEXTURE_RECORDER
#undef DD7R_EXPORT_RECORDER
#undef DD7R_RECORDER
};

// Non-null only at host level while a capture is being written (defined in capture/).
extern const SlotRecorders* slotRecorders;

// Calls slot `id` of `self` again, from the top of its prologue (the object's own slot, or the
// export itself).
template <SlotId id>
struct SlotCall;
#define DD7R_MEMBER_CALL(id, member, ...)                                      \
    template <>                                                                \
    struct SlotCall<SlotId::id> {                                              \
        template <typename Self, typename... Arguments>                        \
        static decltype(auto) call(Self self, Arguments... arguments) {        \
            return self->member(arguments...);                                 \
        }                                                                      \
        static constexpr auto recorder = &SlotRecorders::id;                   \
    };
#define DD7R_EXPORT_CALL(id, ...)                                              \
    template <>                                                                \
    struct SlotCall<SlotId::id> {                                              \
        template <typename Self, typename... Arguments>                        \
        static decltype(auto) call(Self self, Arguments... arguments) {        \
            return self(arguments...);                                         \
        }                                                                      \
        static constexpr auto recorder = &SlotRecorders::id;                   \
    };
DD7R_RENDERER_SLOTS(DD7R_MEMBER_CALL)
DD7R_TEXTURE_SLOTS(DD7R_MEMBER_CALL)
DD7R_EXPORT_SLOTS(DD7R_EXPORT_CALL)
#undef DD7R_MEMBER_CALL
#undef DD7R_EXPORT_CALL

// Whether the calling thread is outside every slot: the host's own call.
inline bool outsideEverySlot() {
#if defined(DD7R_MSVC_HOSTS)
    return !msvc::insideSlot();
#else
    return false;  // natively the boundary is a plain call: never needed
#endif
}

template <SlotId id>
bool divertsFromBody() {
    constexpr SlotRow row = slotRow(id);
    static_assert(row.needsPrologue(), "the slot list gives this slot no prologue");
    if constexpr (row.needsBoundary())
        if (outsideEverySlot()) return true;
    if constexpr (row.capture == Capture::Recorded) return __builtin_expect(slotRecorders != nullptr, 0);
    return false;
}

template <SlotId id, typename Self, typename... Arguments>
decltype(auto) divert(Self self, Arguments... arguments) {
    constexpr SlotRow row = slotRow(id);
    if constexpr (row.needsBoundary()) {
        if (outsideEverySlot())
            return atHostBoundary(row.boundaryType(), row.policy, [&]() -> decltype(auto) {
                return SlotCall<id>::call(self, arguments...);
            });
    }
    if constexpr (row.capture == Capture::Recorded) {
        return (slotRecorders->*SlotCall<id>::recorder)(self, arguments...);
    } else {
        __builtin_unreachable();
    }
}

}  // namespace slots
}  // namespace ZelUISystem

#define DD7R_SLOT(id, ...)                                                                   \
    if (::ZelUISystem::slots::divertsFromBody<::ZelUISystem::slots::SlotId::id>())           \
    return ::ZelUISystem::slots::divert<::ZelUISystem::slots::SlotId::id>(this, ##__VA_ARGS__)

#define DD7R_EXPORT_SLOT(id, ...)                                                            \
    if (::ZelUISystem::slots::divertsFromBody<::ZelUISystem::slots::SlotId::id>())           \
    return ::ZelUISystem::slots::divert<::ZelUISystem::slots::SlotId::id>(&::id, ##__VA_ARGS__)
