#pragma once
// Which future calls of each operation must fail, and with what result.

#include "platform/DirectDraw.h"
#include "softddraw/Operation.h"

#include <array>
#include <optional>
#include <vector>

namespace softddraw {

class FaultPlan {
public:
    void failNthCall(Operation operation, int n, HRESULT result);
    void failAllCalls(Operation operation, HRESULT result);
    void clear();
    // Counts one call of the operation; returns the result it must fail with, if any.
    std::optional<HRESULT> onCall(Operation operation);

private:
    struct PendingFault {
        int callsLeft;
        HRESULT result;
    };
    struct OperationFaults {
        std::vector<PendingFault> pending;
        std::optional<HRESULT> always;
    };
    std::array<OperationFaults, kOperationCount> faults_{};
};

}  // namespace softddraw
