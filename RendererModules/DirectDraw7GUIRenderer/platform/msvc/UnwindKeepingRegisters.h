#pragma once
// RtlUnwind behind a helper that keeps the caller's registers (UnwindKeepingRegisters.cpp).

#include "platform/Win32Types.h"

extern "C" void __stdcall dd7rUnwindKeepingRegisters(void* targetFrame, void* targetIp,
                                                     EXCEPTION_RECORD* record, void* returnValue);
