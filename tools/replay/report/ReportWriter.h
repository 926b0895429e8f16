#pragma once
// The inspector's report: DIR/index.html with its script and style, and beside them the data the
// page reads as plain scripts (so that it opens from disk, with no server): data/index.js (the
// frames), data/frame-NNNN.js (one frame's events and pixels, loaded when the frame is picked),
// data/p<hash>.js (a picture under the overlay, stored once however many frames share it),
// thumbs/ and textures/ (PNG pictures).

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "report/FrameHistory.h"
#include "report/ReportData.h"

namespace dd7rreplay {

class ReportWriter {
public:
    // Creates the folders and the page; throws std::runtime_error when it cannot write.
    ReportWriter(const std::string& folder, const std::string& captureName);

    void addFrame(const InspectFrame& frame, const ReplayFrame& drawn);
    std::string addTexture(const TextureNote& texture, IDirectDrawSurface7* surface);
    // Writes data/index.js; `note` is shown beside the frame count.
    void finish(const std::string& note);

    unsigned frames() const { return static_cast<unsigned>(entries_.size()); }
    std::uint64_t bytesWritten() const { return bytes_; }

private:
    void write(const std::string& relative, const std::string& text);
    void writeBytes(const std::string& relative, const std::vector<std::uint8_t>& bytes);
    // data/<key>.js with a texture's pixels, once per version of its picture; returns the key.
    std::string addTexturePixels(const std::shared_ptr<const TexturePixels>& pixels);

    std::string folder_;
    std::string captureName_;
    std::vector<std::string> entries_;  // index.js entries, in frame order
    std::set<std::string> pictures_;
    std::set<std::string> texturePixels_;
    std::uint64_t bytes_ = 0;
};

}  // namespace dd7rreplay
