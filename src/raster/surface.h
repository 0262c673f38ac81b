#pragma once

#include <QImage>
#include <QRgb>

#include "raster/colour.h"

namespace koma {

/// A picture surface: a persistent image whose geometry is kept in twips. The image is always
/// exactly the surface's pixel size (twips / 15, halves to even) in QImage::Format_RGB32, so a
/// colour key compares the colour as stored. Surfaces have no border: outer size = inner size.
/// A blank surface allocates its image only when the image is first asked for, so that surfaces
/// a run never draws on (the zoom window's, the slots a state file fills) cost nothing.
class Surface {
  public:
    /// A blank surface of the given twip size, filled with `fill`.
    explicit Surface(int width_twips = 0, int height_twips = 0, QRgb fill = kWindowColour);

    int width_twips() const { return width_twips_; }
    int height_twips() const { return height_twips_; }
    /// Width and height in whole pixels (nearest of twips / 15).
    int width_px() const { return blank_ ? blank_width_ : image_.width(); }
    int height_px() const { return blank_ ? blank_height_ : image_.height(); }

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

    QRgb pixel(int x, int y) const { return image().pixel(x, y); }
    QImage& image() {
        if (blank_) make_image();
        return image_;
    }
    const QImage& image() const {
        if (blank_) make_image();
        return image_;
    }

    /// Two surfaces are equal when they have the same twip size and the same pixels (a blank
    /// surface compares as the image it stands for, without making it).
    bool operator==(const Surface& other) const;

  private:
    /// Gives a blank surface the image it stands for.
    void make_image() const;
    /// Makes the surface blank: `width_px` x `height_px` of `fill`, with no image yet.
    void set_blank(int width_px, int height_px, QRgb fill);

    int width_twips_ = 0;
    int height_twips_ = 0;
    // While blank_, the image is all blank_fill_ and image_ is null until make_image.
    mutable bool blank_ = false;
    int blank_width_ = 0;
    int blank_height_ = 0;
    QRgb blank_fill_ = 0;
    mutable QImage image_;
};

}  // namespace koma
