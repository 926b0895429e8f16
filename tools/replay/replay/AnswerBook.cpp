#include "replay/AnswerBook.h"

#include <stdexcept>

namespace dd7rreplay {

void AnswerBook::clearPending() {
    directDraws_.clear();
    sizes_.clear();
    blendModes_.clear();
    surfaceMemories_.clear();
    pixelFormats_.clear();
    hasDisplayMode_ = false;
    for (auto& turns : turns_) turns.clear();
}

void AnswerBook::add(const CaptureCall& answer) {
    auto& turns = turns_.at(static_cast<std::size_t>(answer.query) % turns_.size());
    if (answer.kind == RecordKind::DeviceThrew) {
        turns.push_back(Thrown{answer.flag, answer.text});
        return;
    }
    if (answer.query != DeviceQuery::DisplayMode) turns.emplace_back();
    switch (answer.query) {
        case DeviceQuery::DirectDraw: directDraws_.push_back(answer.given); break;
        case DeviceQuery::DisplaySize: sizes_.emplace_back(answer.answerWidth, answer.answerHeight); break;
        case DeviceQuery::BlendMode: blendModes_.push_back(answer.answer); break;
        case DeviceQuery::SurfaceMemory: surfaceMemories_.push_back(answer.answer); break;
        case DeviceQuery::TexturePixelFormat: pixelFormats_.push_back(answer.answer); break;
        case DeviceQuery::DisplayMode:
            if (!hasDisplayMode_) displayMode_ = answer.pixelFormat;
            hasDisplayMode_ = true;
            break;
    }
}

void AnswerBook::throwIfCaptured(DeviceQuery query) {
    auto& turns = turns_.at(static_cast<std::size_t>(query) % turns_.size());
    if (turns.empty()) return;
    const std::optional<Thrown> turn = std::move(turns.front());
    turns.pop_front();
    if (!turn) return;
    if (turn->standard) throw std::runtime_error(turn->text);
    throw ReplayedForeignThrow{};
}

int AnswerBook::blendMode() {
    throwIfCaptured(DeviceQuery::BlendMode);
    return next(blendModes_, lastBlendMode_);
}

int AnswerBook::surfaceMemory() {
    throwIfCaptured(DeviceQuery::SurfaceMemory);
    return next(surfaceMemories_, lastSurfaceMemory_);
}

int AnswerBook::texturePixelFormat() {
    throwIfCaptured(DeviceQuery::TexturePixelFormat);
    return next(pixelFormats_, lastPixelFormat_);
}

bool AnswerBook::directDrawPresent() {
    throwIfCaptured(DeviceQuery::DirectDraw);
    if (!directDraws_.empty()) {
        lastDirectDraw_ = directDraws_.front();
        directDraws_.pop_front();
    }
    return lastDirectDraw_;
}

void AnswerBook::displaySize(float& width, float& height) {
    throwIfCaptured(DeviceQuery::DisplaySize);
    if (!sizes_.empty()) {
        lastSize_ = sizes_.front();
        sizes_.pop_front();
    }
    width = lastSize_.first;
    height = lastSize_.second;
}

int AnswerBook::next(std::deque<int>& queue, int& last) {
    if (!queue.empty()) {
        last = queue.front();
        queue.pop_front();
    }
    return last;
}

void ReplayDevice::queryDisplaySize(float* width, float* height) {
    float w = 0.0f;
    float h = 0.0f;
    book_.displaySize(w, h);
    if (width != nullptr) *width = w;
    if (height != nullptr) *height = h;
}

}  // namespace dd7rreplay
