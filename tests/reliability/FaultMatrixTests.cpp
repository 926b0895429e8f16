// The fault matrix: for each DirectDraw operation the module calls, a realistic session is run
// once for every call of that operation it makes, with exactly that call failing. Each run must
// end without a crash, tell the host the operation's failure text wherever a failure reaches
// it (and nothing where the failure is to be absorbed), and leave no surface, image or memory
// behind after destroyRenderer, with no surface released twice or used after its release.
// LeakSanitizer checks the heap at exit.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <tuple>

#include "HostSession.h"
#include "RealisticSession.h"

namespace reliability {
namespace {

using softddraw::Operation;

const char kCreationPrefix[] = "dd7r --> createRenderer() error : ";
const char kLockFailed[] = "CDD7Texture::loadFromMemory  -- Failed to lock the surface for data filling.";

struct Fault {
    Operation operation;
    HRESULT result;
    // The text the host is told, alone or as the reason of createTexture's text; null: the
    // failure never reaches the host.
    const char* reported;
};

const Fault kFaults[] = {
    {Operation::CreateSurface, DDERR_OUTOFMEMORY,
     "CDD7Texture::CreateSurface -- Failed to create Texture object. (DDERR_OUTOFMEMORY)"},
    {Operation::TestCooperativeLevel, DDERR_NOEXCLUSIVEMODE, nullptr},
    {Operation::Lock, DDERR_SURFACEBUSY, kLockFailed},
    {Operation::Blt, DDERR_GENERIC, nullptr},
    {Operation::BltFast, DDERR_GENERIC, nullptr},
    {Operation::GetSurfaceDesc, DDERR_INVALIDPARAMS,
     "CDD7Texture::loadFromMemory  -- Failed to get the surface pixel format."},
    {Operation::Restore, DDERR_WRONGMODE, nullptr},
    {Operation::IsLost, DDERR_SURFACELOST, nullptr},
};

// A texture whose load failed has no surface; the host filling part of it afterwards is told
// that the surface cannot be locked, whatever made the load fail.
bool isConsequenceOfFailedLoad(const HostFailure& failure) {
    return failure.slot == "fillFromMemory" && failure.text == kLockFailed;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The reason alone, or createTexture's prefix followed by the reason in parentheses.
bool reports(const std::string& text, const std::string& reason) {
    return text == reason ||
           (text.rfind("CDD7Render::createTexture failed ", 0) == 0 && endsWith(text, "(" + reason + ")"));
}

bool wasInjected(const ddtest::HookedDirectDraw& soft, const Fault& fault) {
    for (const softddraw::CallRecord& record : soft.callsOf(fault.operation))
        if (record.result == fault.result) return true;
    return false;
}

std::map<Operation, int> callCounts(const ddtest::HookedDirectDraw& soft) {
    std::map<Operation, int> counts;
    for (const softddraw::CallRecord& record : soft.callLog()) ++counts[record.operation];
    return counts;
}

using MatrixParam = std::tuple<ddtest::TestDisplayFormat, int>;

class FaultMatrix : public ::testing::TestWithParam<MatrixParam> {
protected:
    ddtest::TestDisplayFormat display() const { return std::get<0>(GetParam()); }
    int blendMode() const { return std::get<1>(GetParam()); }

    // The calls of each operation a session makes when nothing fails.
    std::map<Operation, int> baselineCalls() {
        HostSession host(display(), blendMode());
        host.soft().clearCallLog();
        const SessionOutcome outcome = runRealisticSession(host);
        EXPECT_TRUE(outcome.rendererCreated) << outcome.lastError;
        for (const HostFailure& failure : outcome.failures)
            ADD_FAILURE() << "without faults, " << failure.slot << " failed: " << failure.text;
        const std::map<Operation, int> counts = callCounts(host.soft());
        host.releaseTarget();
        EXPECT_TRUE(nothingLeftBehind(host.soft()));
        return counts;
    }

    void runWithFault(const Fault& fault, int n) {
        SCOPED_TRACE(std::string(softddraw::operationName(fault.operation)) + " call " + std::to_string(n) + " fails");
        HostSession host(display(), blendMode());
        host.soft().clearCallLog();
        host.soft().failNthCall(fault.operation, n, fault.result);
        const SessionOutcome outcome = runRealisticSession(host);

        EXPECT_TRUE(wasInjected(host.soft(), fault));
        EXPECT_EQ(0, outcome.foreignExceptions);
        checkReportedFailures(fault, outcome);
        host.releaseTarget();
        EXPECT_TRUE(nothingLeftBehind(host.soft()));
    }

    static void checkReportedFailures(const Fault& fault, const SessionOutcome& outcome) {
        if (fault.reported == nullptr) {
            EXPECT_TRUE(outcome.rendererCreated) << outcome.lastError;
            for (const HostFailure& failure : outcome.failures)
                if (!isConsequenceOfFailedLoad(failure))
                    ADD_FAILURE() << failure.slot << " reported an absorbed failure: " << failure.text;
            return;
        }
        if (!outcome.rendererCreated) {
            EXPECT_EQ(kCreationPrefix + std::string(fault.reported), outcome.lastError);
        }
        for (const HostFailure& failure : outcome.failures) {
            EXPECT_TRUE(reports(failure.text, fault.reported) || isConsequenceOfFailedLoad(failure))
                << failure.slot << ": " << failure.text;
        }
    }
};

TEST_P(FaultMatrix, EveryCallOfEveryOperationFailsInTurn) {
    const std::map<Operation, int> baseline = baselineCalls();
    int failurePoints = 0;
    for (const Fault& fault : kFaults) {
        const auto found = baseline.find(fault.operation);
        const int calls = found == baseline.end() ? 0 : found->second;
        // Every operation is reached by the session, or the matrix would test nothing for it.
        EXPECT_GT(calls, 0) << softddraw::operationName(fault.operation);
        for (int n = 1; n <= calls; ++n) runWithFault(fault, n);
        std::printf("[ matrix   ] %-20s %4d failure points\n", softddraw::operationName(fault.operation), calls);
        failurePoints += calls;
    }
    std::printf("[ matrix   ] %zu operations x %d failure points in all\n", std::size(kFaults), failurePoints);
    RecordProperty("failurePoints", failurePoints);
}

std::string matrixName(const ::testing::TestParamInfo<MatrixParam>& info) {
    return std::string(ddtest::displayFormatName(std::get<0>(info.param))) + "_blend" +
           std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(DisplaysAndBlendModes, FaultMatrix,
                         ::testing::Combine(::testing::Values(ddtest::TestDisplayFormat::Xrgb32,
                                                              ddtest::TestDisplayFormat::Rgb565),
                                            ::testing::Values(0, 1, 2)),
                         matrixName);

}  // namespace
}  // namespace reliability
