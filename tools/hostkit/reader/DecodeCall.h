#pragma once
// Decodes one record's payload by its kind; raises CaptureError on an unknown kind or a
// payload that does not match it.

#include "reader/CaptureCall.h"
#include "reader/PayloadCursor.h"

namespace dd7rreplay {

CaptureCall decodeCall(std::uint8_t kind, PayloadCursor& cursor);

}  // namespace dd7rreplay
