#include "exports/LastError.h"

#include <utility>

namespace ZelUISystem {

namespace {
std::string& storage() {
    static std::string text;
    return text;
}
}  // namespace

const std::string& lastErrorText() { return storage(); }

void setLastErrorText(std::string text) { storage() = std::move(text); }

}  // namespace ZelUISystem
