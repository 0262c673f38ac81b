#include "raster/surface.h"

#include <algorithm>

#include "raster/twips.h"

namespace koma {

namespace {

QImage blank_image(int width_px, int height_px, QRgb fill) {
    QImage image(std::max(width_px, 0), std::max(height_px, 0), QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

}  // namespace

Surface::Surface(int width_twips, int height_twips, QRgb fill)
    : width_twips_(std::max(width_twips, 0)), height_twips_(std::max(height_twips, 0)) {
    set_blank(twips_to_pixels(width_twips_), twips_to_pixels(height_twips_), fill);
}

void Surface::set_blank(int width_px, int height_px, QRgb fill) {
    blank_ = true;
    blank_width_ = std::max(width_px, 0);
    blank_height_ = std::max(height_px, 0);
    blank_fill_ = fill;
    image_ = QImage();
}

bool Surface::operator==(const Surface& other) const {
    if (width_twips_ != other.width_twips_ || height_twips_ != other.height_twips_ ||
        width_px() != other.width_px() || height_px() != other.height_px()) {
        return false;
    }
    if (blank_ && other.blank_) {
        return blank_fill_ == other.blank_fill_ || width_px() == 0 || height_px() == 0;
    }
    return image() == other.image();
}

void Surface::make_image() const {
    image_ = blank_image(blank_width_, blank_height_, blank_fill_);
    blank_ = false;
}

void Surface::resize_twips(int width_twips, int height_twips, QRgb fill) {
    width_twips_ = std::max(width_twips, 0);
    height_twips_ = std::max(height_twips, 0);
    const int w = twips_to_pixels(width_twips_);
    const int h = twips_to_pixels(height_twips_);
    if (w == width_px() && h == height_px()) {
        return;
    }
    // Still one colour throughout: the resized surface can stay blank.
    if ((blank_ && blank_fill_ == fill) || width_px() == 0 || height_px() == 0) {
        set_blank(w, h, fill);
        return;
    }
    if (blank_) make_image();
    QImage resized = blank_image(w, h, fill);
    const int copy_w = std::min(w, image_.width());
    const int copy_h = std::min(h, image_.height());
    for (int y = 0; y < copy_h; ++y) {
        std::copy_n(reinterpret_cast<const QRgb*>(image_.constScanLine(y)), copy_w,
                    reinterpret_cast<QRgb*>(resized.scanLine(y)));
    }
    image_ = std::move(resized);
}

void Surface::resize_pixels(int width_px, int height_px, QRgb fill) {
    resize_twips(pixels_to_twips(std::max(width_px, 0)), pixels_to_twips(std::max(height_px, 0)),
                 fill);
}

void Surface::set_picture(const QImage& picture) {
    width_twips_ = pixels_to_twips(picture.width());
    height_twips_ = pixels_to_twips(picture.height());
    blank_ = false;
    image_ = picture.convertToFormat(QImage::Format_RGB32);
}

void Surface::fill(QRgb colour) {
    if (blank_) {
        blank_fill_ = colour;
    } else {
        image_.fill(colour);
    }
}

}  // namespace koma
