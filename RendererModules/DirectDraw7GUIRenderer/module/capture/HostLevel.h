#pragma once
// The one test every recorded slot makes on entry. hostLevelSession is non-null only while a
// capture is being written and no host call is in progress: the call that finds it set comes
// from the host and is recorded (the recorder clears it while the slot runs, so the module's
// own calls into its slots are not recorded); otherwise the slot runs as if capture did not
// exist.

namespace ZelUISystem {
namespace capture {

class CaptureSession;
extern CaptureSession* hostLevelSession;

}  // namespace capture
}  // namespace ZelUISystem

// One line at the top of a slot: `DD7R_CAPTURE_HOOK(recorder(this, arguments...));` hands the
// call to the recorder of the same name when it is to be recorded.
#define DD7R_CAPTURE_HOOK(recorderCall)                                                       \
    if (__builtin_expect(::ZelUISystem::capture::hostLevelSession != nullptr, 0))            \
    return ::ZelUISystem::capture::recorderCall
