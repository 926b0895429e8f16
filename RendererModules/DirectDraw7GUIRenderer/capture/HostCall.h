#pragma once
// One recorded host call, as a scope: while it lasts the module's own calls into its slots are
// not recorded; when it ends, the device answers given during it and its exception follow its
// record. Run() rethrows whatever the slot threw, after noting it.

#include <exception>
#include <utility>

#include "capture/CaptureSession.h"

namespace ZelUISystem {
namespace capture {

class HostCall {
public:
    explicit HostCall(CaptureSession& session) : session_(session) { session_.beginHostCall(); }
    ~HostCall() { session_.endHostCall(); }
    HostCall(const HostCall&) = delete;
    HostCall& operator=(const HostCall&) = delete;

    CaptureSession& session() { return session_; }

    // Runs the slot; when it throws, `onThrow` writes the call's record before the exception
    // goes on to the host unchanged.
    template <typename Slot, typename OnThrow>
    decltype(auto) run(Slot&& slot, OnThrow&& onThrow) {
        try {
            return slot();
        } catch (const std::exception& error) {
            recordQuietly(onThrow);
            session_.noteThrow(true, error.what());
            throw;
        } catch (...) {
            recordQuietly(onThrow);
            session_.noteThrow(false, nullptr);
            throw;
        }
    }

    // Builds and writes one record; a failure to build it (out of memory) turns capture off.
    template <typename Fill>
    void record(RecordKind kind, Fill&& fill) {
        recordQuietly([&] {
            RecordBuilder builder(kind);
            fill(builder);
            session_.write(builder);
        });
    }

private:
    template <typename Write>
    void recordQuietly(Write&& write) {
        try {
            write();
        } catch (...) {
            session_.disable("out of memory while capturing");
        }
    }

    CaptureSession& session_;
};

}  // namespace capture
}  // namespace ZelUISystem
