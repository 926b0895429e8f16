#pragma once
// The capture session the host's next call is recorded into. It is non-null only while a capture
// is being written and no host call is in progress; setting it also points the slots'
// table (slots::slotRecorders) at the recorders, or back at nothing.

namespace ZelUISystem {
namespace capture {

class CaptureSession;
extern CaptureSession* hostLevelSession;

void setHostLevelSession(CaptureSession* session);

// The capture session whose host call is running, null outside host calls: what the module
// asks DirectDraw during the call is noted there.
extern CaptureSession* hostCallSession;

}  // namespace capture
}  // namespace ZelUISystem
