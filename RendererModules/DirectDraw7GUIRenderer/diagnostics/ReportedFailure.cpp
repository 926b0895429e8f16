#include "diagnostics/ReportedFailure.h"

#include <stdexcept>

#include "diagnostics/ModuleLogger.h"

namespace ZelUISystem {

void raiseReported(const std::string& message) {
    reportFatal(message.c_str());
    throw std::runtime_error(message);
}

}  // namespace ZelUISystem
