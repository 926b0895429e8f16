#include "replay/AnswerBook.h"

namespace dd7rreplay {

void AnswerBook::clearPending() {
    directDraws_.clear();
    sizes_.clear();
    blendModes_.clear();
    surfaceMemories_.clear();
    pixelFormats_.clear();
    hasDisplayMode_ = false;
}

void AnswerBook::add(const CaptureCall& answer) {
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

bool AnswerBook::directDrawPresent() {
    if (!directDraws_.empty()) {
        lastDirectDraw_ = directDraws_.front();
        directDraws_.pop_front();
    }
    return lastDirectDraw_;
}

void AnswerBook::displaySize(float& width, float& height) {
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
