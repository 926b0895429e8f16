#include "capture/LoggerThrows.h"

#include <string>

#include "capture/CaptureSession.h"
#include "capture/HostLevel.h"

namespace ZelUISystem {
namespace capture {

void noteLoggerThrow(bool standardException, const char* text) noexcept {
    CaptureSession* session = hostCallSession;
    if (session == nullptr || !session->active()) return;
    try {
        std::string kept = text != nullptr ? text : "";
        if (kept.size() > kLongestExceptionText) kept.resize(kLongestExceptionText);
        RecordBuilder threw(RecordKind::LoggerThrew);
        threw.flag(standardException).string(kept.c_str());
        session->writeDeviceAnswer(threw);
    } catch (...) {
        session->disable("out of memory while capturing");
    }
}

}  // namespace capture
}  // namespace ZelUISystem
