#include "softddraw/FaultPlan.h"

namespace softddraw {

void FaultPlan::failNthCall(Operation operation, int n, HRESULT result) {
    if (n < 1) return;
    faults_[static_cast<int>(operation)].pending.push_back({n, result});
}

void FaultPlan::failAllCalls(Operation operation, HRESULT result) {
    faults_[static_cast<int>(operation)].always = result;
}

void FaultPlan::clear() { faults_ = {}; }

std::optional<HRESULT> FaultPlan::onCall(Operation operation) {
    OperationFaults& faults = faults_[static_cast<int>(operation)];
    std::optional<HRESULT> result = faults.always;
    for (auto it = faults.pending.begin(); it != faults.pending.end();) {
        if (--it->callsLeft == 0) {
            if (!result) result = it->result;
            it = faults.pending.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}

}  // namespace softddraw
