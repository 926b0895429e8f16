#include "image/ContactSheet.h"

#include "image/BitmapFont.h"

#include <algorithm>
#include <cstring>

namespace dd7rdemo {

namespace {

constexpr int kMargin = 10;
constexpr int kLabelHeight = 14;
constexpr int kTitleHeight = 30;
const Colour kSheetBackground{40, 40, 48};
const Colour kLabelInk{230, 230, 230};
const Colour kAccentInk{255, 180, 60};

void paste(Image& sheet, const Image& picture, int left, int top) {
    for (unsigned y = 0; y < picture.height(); ++y) {
        if (!sheet.contains(left, top + static_cast<int>(y))) continue;
        const unsigned width = std::min(picture.width(), sheet.width() - static_cast<unsigned>(left));
        std::memcpy(sheet.pixel(static_cast<unsigned>(left), static_cast<unsigned>(top) + y),
                    picture.pixel(0, y), static_cast<std::size_t>(width) * 3);
    }
}

}  // namespace

Image makeThumbnail(const Image& frame, unsigned factor) {
    if (factor == 0 || frame.width() < factor || frame.height() < factor) return frame;
    Image thumbnail(frame.width() / factor, frame.height() / factor, 3);
    const unsigned area = factor * factor;
    for (unsigned y = 0; y < thumbnail.height(); ++y)
        for (unsigned x = 0; x < thumbnail.width(); ++x) {
            unsigned sum[3] = {0, 0, 0};
            for (unsigned dy = 0; dy < factor; ++dy)
                for (unsigned dx = 0; dx < factor; ++dx) {
                    const std::uint8_t* p = frame.pixel(x * factor + dx, y * factor + dy);
                    for (int c = 0; c < 3; ++c) sum[c] += p[c];
                }
            std::uint8_t* out = thumbnail.pixel(x, y);
            for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(sum[c] / area);
        }
    return thumbnail;
}

Image composeContactSheet(const std::string& title, const std::vector<std::vector<SheetCell>>& rows) {
    int sheetWidth = kMargin + textWidth(title, 2) + kMargin;
    int sheetHeight = kTitleHeight;
    for (const auto& row : rows) {
        int rowWidth = kMargin;
        int rowHeight = 0;
        for (const SheetCell& cell : row) {
            rowWidth += static_cast<int>(cell.thumbnail.width()) + kMargin;
            rowHeight = std::max(rowHeight, static_cast<int>(cell.thumbnail.height()));
        }
        sheetWidth = std::max(sheetWidth, rowWidth);
        sheetHeight += kLabelHeight + rowHeight + kMargin;
    }
    Image sheet(static_cast<unsigned>(sheetWidth), static_cast<unsigned>(sheetHeight), 3);
    sheet.fillRect(0, 0, sheetWidth, sheetHeight, kSheetBackground);
    drawText(sheet, kMargin, 8, title, kLabelInk, 2);
    int top = kTitleHeight;
    for (const auto& row : rows) {
        int left = kMargin;
        int rowHeight = 0;
        for (const SheetCell& cell : row) {
            drawText(sheet, left, top + 3, cell.label, cell.highlighted ? kAccentInk : kLabelInk);
            paste(sheet, cell.thumbnail, left, top + kLabelHeight);
            left += static_cast<int>(cell.thumbnail.width()) + kMargin;
            rowHeight = std::max(rowHeight, static_cast<int>(cell.thumbnail.height()));
        }
        top += kLabelHeight + rowHeight + kMargin;
    }
    return sheet;
}

}  // namespace dd7rdemo
