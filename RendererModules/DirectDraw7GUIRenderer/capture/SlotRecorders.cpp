// The table of recorders the slots' prologues call, made from the slot list: every slot the list
// says is recorded gets the recorder of its id (a missing one, or one of another signature, does
// not compile).

#include "capture/CaptureHooks.h"
#include "diagnostics/SlotPrologue.h"

namespace ZelUISystem {
namespace capture {

namespace {

constexpr slots::SlotRecorders everyRecorder() {
    slots::SlotRecorders recorders;
#define DD7R_SET_RECORDER_Recorded(id) recorders.id = &capture::id;
#define DD7R_SET_RECORDER_NotRecorded(id)
#define DD7R_SET_RECORDER(id, member, result, parameters, file, raises, policy, reach, recorded) \
    DD7R_SET_RECORDER_##recorded(id)
    DD7R_RENDERER_SLOTS(DD7R_SET_RECORDER)
    DD7R_TEXTURE_SLOTS(DD7R_SET_RECORDER)
    DD7R_EXPORT_SLOTS(DD7R_SET_RECORDER)
#undef DD7R_SET_RECORDER
#undef DD7R_SET_RECORDER_NotRecorded
#undef DD7R_SET_RECORDER_Recorded
    return recorders;
}

constexpr slots::SlotRecorders kRecorders = everyRecorder();

}  // namespace
}  // namespace capture

// Declared below the slots (diagnostics/SlotPrologue.h), defined here beside the table it points
// at: every slot's prologue reads it, and that is what links the capture, with the session it
// starts when the module is loaded (CaptureSession.cpp), into a module built from the static
// core library.
const slots::SlotRecorders* slots::slotRecorders = nullptr;

namespace capture {

void setHostLevelSession(CaptureSession* session) {
    hostLevelSession = session;
    slots::slotRecorders = session != nullptr ? &kRecorders : nullptr;
}

}  // namespace capture
}  // namespace ZelUISystem
