#pragma once

#include <QRgb>
#include <cstdint>

namespace koma {

/// The window colour of blank surfaces and of the cleared stage. White in every theme, so the
/// program and the command line produce the same pixels.
inline constexpr QRgb kWindowColour = 0xFFFFFFFFu;

/// The face colour of the main window and of the pointer surface.
inline constexpr QRgb kFaceColour = 0xFFF0F0F0u;

/// Colours stored by the program (state files, background colour) are 0x00BBGGRR values.
constexpr QRgb rgb_from_bgr(uint32_t bgr) {
    return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

constexpr uint32_t bgr_from_rgb(QRgb rgb) {
    return static_cast<uint32_t>(qRed(rgb)) | (static_cast<uint32_t>(qGreen(rgb)) << 8) |
           (static_cast<uint32_t>(qBlue(rgb)) << 16);
}

}  // namespace koma
