#include "codecs/png/apng_writer.h"

#include <QRect>
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "codecs/png/deflate_recode.h"
#include "codecs/png/png_chunks.h"
#include "codecs/png/png_encoder.h"
#include "raster/changed_rect.h"

namespace koma {

namespace {

enum : uint8_t {
    kDisposeNone = 0,
    kDisposeBackground = 1,
    kDisposePrevious = 2,
    kBlendSource = 0,
    kBlendOver = 1
};

/// One frame as it goes into the file.
struct StoredFrame {
    QRect rect;
    uint8_t blend = kBlendSource;
    uint8_t dispose = kDisposeNone;
    QByteArray data;  ///< the zlib stream of its rows
};

/// The rectangle of `image` with every pixel equal to `before` made clear, for blending over
/// `before`; a null image when a changed pixel is itself clear (blending cannot clear it) or
/// nothing is unchanged.
QImage blend_patch(const QImage& before, const QImage& image, const QRect& rect) {
    QImage patch(rect.size(), QImage::Format_ARGB32);
    bool any_unchanged = false;
    for (int y = 0; y < rect.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(before.constScanLine(rect.top() + y));
        const QRgb* b = reinterpret_cast<const QRgb*>(image.constScanLine(rect.top() + y));
        QRgb* d = reinterpret_cast<QRgb*>(patch.scanLine(y));
        for (int x = 0; x < rect.width(); ++x) {
            const QRgb old_pixel = a[rect.left() + x];
            const QRgb new_pixel = b[rect.left() + x];
            if (old_pixel == new_pixel) {
                d[x] = 0u;
                any_unchanged = true;
            } else if (qAlpha(new_pixel) == 0) {
                return {};
            } else {
                d[x] = new_pixel;
            }
        }
    }
    return any_unchanged ? patch : QImage();
}

/// The concatenated data of the IDAT chunks of `png`.
QByteArray image_data(const QByteArray& png) {
    QByteArray data;
    for (const PngChunk& chunk : png_chunks(png)) {
        if (chunk.type == "IDAT") data.append(chunk.data);
    }
    return data;
}

QByteArray frame_control(uint32_t sequence, const QRect& rect, int delay_ms, uint8_t dispose,
                         uint8_t blend) {
    QByteArray fc;
    append_be32(fc, sequence);
    append_be32(fc, static_cast<uint32_t>(rect.width()));
    append_be32(fc, static_cast<uint32_t>(rect.height()));
    append_be32(fc, static_cast<uint32_t>(rect.left()));
    append_be32(fc, static_cast<uint32_t>(rect.top()));
    append_be16(fc, static_cast<uint16_t>(delay_ms));
    append_be16(fc, 1000);
    fc.append(static_cast<char>(dispose));
    fc.append(static_cast<char>(blend));
    return fc;
}

class ApngWriter : public FrameWriter {
  public:
    ApngWriter(const QString& path, const AnimationTiming& timing) : path_(path), timing_(timing) {}

    std::expected<void, QString> add(const StageFrame& frame) override {
        frames_.push_back(stage_with_alpha(frame.stage.image(), frame.coverage));
        durations_.push_back(frame.duration_ms);
        return {};
    }

    std::expected<QStringList, QString> finish() override {
        if (frames_.empty()) return QStringList{};
        auto bytes = encode_apng(frames_, timing_, durations_);
        frames_.clear();
        return write_animation(path_, bytes);
    }

  private:
    QString path_;
    AnimationTiming timing_;
    std::vector<QImage> frames_;
    std::vector<int> durations_;
};

}  // namespace

std::expected<QByteArray, QString> encode_apng(std::span<const QImage> frames,
                                               const AnimationTiming& timing,
                                               std::span<const int> durations_ms) {
    if (frames.empty()) return std::unexpected(QStringLiteral("there are no frames"));
    const QSize size = frames.front().size();
    if (size.isEmpty()) return std::unexpected(QStringLiteral("the frames are empty"));
    for (const QImage& frame : frames) {
        if (frame.size() != size)
            return std::unexpected(QStringLiteral("the frames differ in size"));
    }

    // Only what changes can bring new colours.
    std::vector<QRect> rects(frames.size());
    rects[0] = frames[0].rect();
    ColourCensus census;
    census.add(frames[0], rects[0]);
    for (size_t i = 1; i < frames.size(); ++i) {
        rects[i] = changed_rect(frames[i - 1], frames[i]);
        census.add(frames[i], rects[i]);
    }
    // Many opaque colours: RGB with one unused colour marked clear blends as well as RGBA,
    // without an alpha byte for every pixel.
    const bool key_instead = census.overflowed() && !census.any_clear() && frames.size() > 1;
    PngLayout layout = choose_png_layout(census, frames.size() > 1 && !key_instead);
    if (key_instead) layout.rgb_key = unused_colour(frames, rects);

    auto first = encode_png_smallest(frames[0], rects[0], layout);
    if (!first) return std::unexpected(first.error());
    QByteArray out(*first);
    // The signature and IHDR (and PLTE/tRNS) of the first frame's file serve the animation.
    std::vector<PngChunk> chunks = png_chunks(*first);
    out.truncate(8);
    for (const PngChunk& chunk : chunks) {
        if (chunk.type == "IDAT" || chunk.type == "IEND") continue;
        out.append(png_chunk_bytes(chunk.type.constData(), chunk.data));
        if (chunk.type == "IHDR") {
            QByteArray actl;
            append_be32(actl, static_cast<uint32_t>(frames.size()));
            append_be32(actl, static_cast<uint32_t>(timing.loop_count));
            out.append(png_chunk_bytes("acTL", actl));
        }
    }
    std::vector<StoredFrame> stored(frames.size());
    stored[0] = {
        rects[0], kBlendSource, kDisposeNone,
        recode_smaller(image_data(*first), filtered_size(size.width(), size.height(), layout))};

    // The canvas before the frame before was drawn, for disposing that frame to it.
    QImage before_previous(size, QImage::Format_ARGB32);
    before_previous.fill(0u);
    for (size_t i = 1; i < frames.size(); ++i) {
        // What the frame before may leave behind: itself, its rectangle cleared, or the canvas
        // it was drawn on. Each is tried with its own changed rectangle; the candidates are
        // compared coded the usual way, and only the winner gets every coding.
        std::vector<std::pair<uint8_t, QImage>> bases;
        bases.emplace_back(kDisposeNone, frames[i - 1]);
        QImage cleared = frames[i - 1].convertToFormat(QImage::Format_ARGB32);
        const QRect& last = stored[i - 1].rect;
        for (int y = last.top(); y <= last.bottom(); ++y) {
            std::fill_n(reinterpret_cast<QRgb*>(cleared.scanLine(y)) + last.left(), last.width(),
                        0u);
        }
        bases.emplace_back(kDisposeBackground, std::move(cleared));
        if (i > 1) bases.emplace_back(kDisposePrevious, before_previous);

        struct Candidate {
            uint8_t dispose = kDisposeNone;
            uint8_t blend = kBlendSource;
            QRect rect;
            QImage pixels;  ///< the rectangle's pixels as stored
            qsizetype size = 0;
            size_t base = 0;
        };
        std::optional<Candidate> best;
        auto consider = [&](Candidate c) -> std::expected<void, QString> {
            auto png = encode_png(c.pixels, c.pixels.rect(), layout);
            if (!png) return std::unexpected(png.error());
            c.size = png->size();
            if (!best || c.size < best->size) best = std::move(c);
            return {};
        };
        for (size_t b = 0; b < bases.size(); ++b) {
            const QImage& base = bases[b].second;
            QRect rect = changed_rect(base, frames[i]);
            const bool unchanged = rect.isEmpty();
            if (unchanged) rect = QRect(0, 0, 1, 1);
            const uint8_t dispose = bases[b].first;
            if (auto r = consider({dispose, kBlendSource, rect, frames[i].copy(rect), 0, b}); !r) {
                return std::unexpected(r.error());
            }
            if (layout.has_clear() && !unchanged) {
                QImage patch = blend_patch(base, frames[i], rect);
                if (!patch.isNull()) {
                    if (auto r = consider({dispose, kBlendOver, rect, std::move(patch), 0, b});
                        !r) {
                        return std::unexpected(r.error());
                    }
                }
            }
        }
        auto png = encode_png_smallest(best->pixels, best->pixels.rect(), layout);
        if (!png) return std::unexpected(png.error());
        stored[i - 1].dispose = best->dispose;
        stored[i] = {best->rect, best->blend, kDisposeNone,
                     recode_smaller(image_data(*png), filtered_size(best->rect.width(),
                                                                    best->rect.height(), layout))};
        before_previous = bases[best->base].second;
    }

    uint32_t sequence = 0;
    for (size_t i = 0; i < stored.size(); ++i) {
        const StoredFrame& frame = stored[i];
        const int delay_ms =
            i < durations_ms.size() && durations_ms[i] != 0 ? durations_ms[i] : timing.frame_ms;
        out.append(png_chunk_bytes(
            "fcTL", frame_control(sequence++, frame.rect, delay_ms, frame.dispose, frame.blend)));
        if (i == 0) {
            out.append(png_chunk_bytes("IDAT", frame.data));
        } else {
            QByteArray fdat;
            append_be32(fdat, sequence++);
            fdat.append(frame.data);
            out.append(png_chunk_bytes("fdAT", fdat));
        }
    }
    out.append(png_chunk_bytes("IEND", {}));
    return out;
}

std::unique_ptr<FrameWriter> make_apng_writer(const QString& path, const AnimationTiming& timing) {
    return std::make_unique<ApngWriter>(path, timing);
}

}  // namespace koma
