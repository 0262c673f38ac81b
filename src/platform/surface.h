#pragma once

#include <QImage>
#include <QRgb>

#include "platform/colour.h"

namespace koma {

/// A picture surface: a persistent image whose geometry is kept in twips. The image is always
/// exactly the surface's pixel size (twips / 15, halves to even) in QImage::Format_RGB32, so a
/// colour key compares the colour as stored. Surfaces have no border: outer size = inner size.
class Surface {
public:
    /// A blank surface of the given twip size, filled with `fill`.
    explicit Surface(int width_twips = 0, int height_twips = 0, QRgb fill = kWindowColour);

    int width_twips() const { return width_twips_; }
    int height_twips() const { return height_twips_; }
    /// Width and height in whole pixels (nearest of twips / 15).
    int width_px() const { return image_.width(); }
    int height_px() const { return image_.height(); }

    /// Gives the surface a new twip size. What was drawn stays at the top-left corner; newly
    /// exposed pixels take `fill`. Negative sizes are taken as 0.
    void resize_twips(int width_twips, int height_twips, QRgb fill = kWindowColour);
    void resize_pixels(int width_px, int height_px, QRgb fill = kWindowColour);

    /// Makes `picture` the surface's picture: the surface takes the picture's size and its image
    /// becomes a copy of it, converted to RGB32 (alpha, if any, is dropped).
    void set_picture(const QImage& picture);

    /// Fills the whole image with one colour.
    void fill(QRgb colour);
    /// Erases the image to the window colour.
    void clear() { fill(kWindowColour); }

    QRgb pixel(int x, int y) const { return image_.pixel(x, y); }
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

private:
    int width_twips_ = 0;
    int height_twips_ = 0;
    QImage image_;
};

}  // namespace koma
