#pragma once
// The DirectDraw calls a SoftDirectDraw counts, logs and can be told to fail.

namespace softddraw {

enum class Operation {
    CreateSurface,
    TestCooperativeLevel,
    Lock,
    Unlock,
    Blt,
    BltFast,
    GetSurfaceDesc,
    GetColorKey,
    SetColorKey,
    IsLost,
    Restore,
};

constexpr int kOperationCount = static_cast<int>(Operation::Restore) + 1;

const char* operationName(Operation operation);

}  // namespace softddraw
