#include "codecs/png/apng_writer.h"

#include <zlib.h>

#include <QRect>
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "codecs/png/deflate_recode.h"
#include "codecs/png/png_chunks.h"
#include "codecs/png/png_encoder.h"
#include "raster/changed_rect.h"
#include "raster/pixel_memory.h"

namespace koma {

namespace {

enum : uint8_t {
    kDisposeNone = 0,
    kDisposeBackground = 1,
    kDisposePrevious = 2,
    kBlendSource = 0,
    kBlendOver = 1
};

const QRgb* row_of(const QImage& image, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

/// What a frame is drawn over: `image`, with the pixels of `cleared` (possibly empty) clear.
struct Base {
    const QImage* image;
    QRect cleared;

    /// Whether row y of `frame` differs from the base at x.
    bool differs(const QRgb* base_row, const QRgb* frame_row, bool row_cleared, int x) const {
        if (row_cleared && x >= cleared.left() && x <= cleared.right()) return frame_row[x] != 0u;
        return frame_row[x] != base_row[x];
    }
};

/// The bounding rectangle of the pixels in which `frame` differs from `base`; empty when none do.
QRect changed_over(const Base& base, const QImage& frame) {
    if (base.cleared.isEmpty()) return changed_rect(*base.image, frame);
    const int w = frame.width();
    const size_t row_bytes = sizeof(QRgb) * static_cast<size_t>(w);
    int top = -1, bottom = -1, left = w, right = -1;
    for (int y = 0; y < frame.height(); ++y) {
        const QRgb* a = row_of(*base.image, y);
        const QRgb* b = row_of(frame, y);
        const bool cleared = y >= base.cleared.top() && y <= base.cleared.bottom();
        if (!cleared && std::memcmp(a, b, row_bytes) == 0) continue;
        int x = 0;
        while (x < w && !base.differs(a, b, cleared, x)) ++x;
        if (x == w) continue;
        if (top < 0) top = y;
        bottom = y;
        left = std::min(left, x);
        int r = w - 1;
        while (!base.differs(a, b, cleared, r)) --r;
        right = std::max(right, r);
    }
    if (top < 0) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

/// The rectangle of `frame` with every pixel equal to `base` made clear, for blending over
/// `base`; a null image when a changed pixel is itself clear (blending cannot clear it) or
/// nothing is unchanged.
QImage blend_patch(const Base& base, const QImage& frame, const QRect& rect) {
    QImage patch = new_image(rect.size(), QImage::Format_ARGB32);
    bool any_unchanged = false;
    for (int y = 0; y < rect.height(); ++y) {
        const QRgb* a = row_of(*base.image, rect.top() + y);
        const QRgb* b = row_of(frame, rect.top() + y);
        const bool cleared =
            rect.top() + y >= base.cleared.top() && rect.top() + y <= base.cleared.bottom();
        QRgb* d = reinterpret_cast<QRgb*>(patch.scanLine(y));
        for (int x = 0; x < rect.width(); ++x) {
            const QRgb new_pixel = b[rect.left() + x];
            if (!base.differs(a, b, cleared, rect.left() + x)) {
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

/// How many frames are coded both ways when a palette's indices could be packed.
constexpr int kTrialFrames = 8;

/// How candidates are compared: at CodingEffort::Max with the usual coding at zlib's highest
/// level; at Default, palette indices the same way (their runs need the long match search) and
/// colour rows through libpng's adaptive filters at zlib's middle level for filtered data,
/// which ranks candidates as the highest level does in a fraction of its time.
PngCoding candidate_coding(const PngLayout& layout, CodingEffort effort) {
    if (effort == CodingEffort::Max || layout.kind == PngLayout::Kind::Palette) return {};
    return {0, Z_FILTERED, 6};
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

/// `image` with `rect` cleared, written into `target` (reusing its memory when it can).
void copy_cleared(const QImage& image, const QRect& rect, QImage& target) {
    if (target.size() != image.size() || target.format() != QImage::Format_ARGB32 ||
        target.isDetached() == false) {
        target = new_image(image.size(), QImage::Format_ARGB32);
    }
    const size_t row_bytes = sizeof(QRgb) * static_cast<size_t>(image.width());
    for (int y = 0; y < image.height(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(target.scanLine(y));
        std::memcpy(d, row_of(image, y), row_bytes);
        if (y >= rect.top() && y <= rect.bottom()) std::fill_n(d + rect.left(), rect.width(), 0u);
    }
}

}  // namespace

std::expected<void, QString> ApngSurvey::add(const QImage& frame) {
    if (frame.isNull() || frame.size().isEmpty()) {
        return std::unexpected(QStringLiteral("the frames are empty"));
    }
    QRect rect = frame.rect();
    if (frames_ == 0) {
        size_ = frame.size();
    } else if (frame.size() != size_) {
        return std::unexpected(QStringLiteral("the frames differ in size"));
    } else {
        // Only what changes can bring new colours.
        rect = changed_rect(previous_, frame);
    }
    const bool had_overflowed = census_.overflowed();
    census_.add(frame, rect);
    if (census_.overflowed()) {
        if (!had_overflowed) {
            // Until now every colour was counted; from now on only the bit set keeps them.
            used_ = std::make_unique<UsedColours>();
            for (const QRgb c : census_.values()) used_->add(c);
        }
        used_->add(frame, rect);
    }
    previous_ = frame;
    ++frames_;
    return {};
}

PngLayout ApngSurvey::layout() const {
    const bool blends = frames_ > 1;
    if (!census_.overflowed()) return choose_png_layout(census_, blends);
    // Many colours: RGB with one unused colour marked clear blends as well as RGBA and holds
    // clear pixels, without an alpha byte for every pixel.
    PngLayout layout;
    layout.kind = PngLayout::Kind::Rgb;
    if (census_.any_clear() || blends) {
        layout.rgb_key = used_->first_unused();
        if (!layout.rgb_key && census_.any_clear()) layout.kind = PngLayout::Kind::Rgba;
    }
    return layout;
}

ApngEncoder::ApngEncoder(const ApngSurvey& survey, const AnimationTiming& timing,
                         CodingEffort effort)
    : size_(survey.size()), frames_(survey.frames()), timing_(timing), effort_(effort) {
    tracks_.push_back({survey.layout(), {}, {}, {}, 0});
    const PngLayout& layout = tracks_.front().layout;
    if (layout.kind == PngLayout::Kind::Palette && layout.bit_depth < 8) {
        tracks_.push_back({layout, {}, {}, {}, 0});
        tracks_.back().layout.bit_depth = 8;
    }
}

std::expected<QByteArray, QString> ApngEncoder::code_winner(const Track& track,
                                                            const QImage& pixels,
                                                            const QByteArray& png) {
    QByteArray rows;
    if (effort_ == CodingEffort::Max) {
        auto smallest = encode_png_smallest(pixels, pixels.rect(), track.layout);
        if (!smallest) return std::unexpected(smallest.error());
        rows = png_image_data(*smallest);
    } else {
        rows = png_image_data(png);
    }
    return recode_smaller(rows, filtered_size(pixels.width(), pixels.height(), track.layout));
}

std::expected<void, QString> ApngEncoder::start(Track& track, const QImage& first) {
    auto png =
        encode_png(first, first.rect(), track.layout, candidate_coding(track.layout, effort_));
    if (!png) return std::unexpected(png.error());
    auto data = code_winner(track, first, *png);
    if (!data) return std::unexpected(data.error());
    // The signature and IHDR (and PLTE/tRNS) of the first frame's file serve the animation.
    track.out = png->left(8);
    for (const PngChunk& chunk : png_chunks(*png)) {
        if (chunk.type == "IDAT" || chunk.type == "IEND") continue;
        track.out.append(png_chunk_bytes(chunk.type.constData(), chunk.data));
        if (chunk.type == "IHDR") {
            QByteArray actl;
            append_be32(actl, static_cast<uint32_t>(frames_));
            append_be32(actl, static_cast<uint32_t>(timing_.loop_count));
            track.out.append(png_chunk_bytes("acTL", actl));
        }
    }
    track.pending = {first.rect(), kBlendSource, std::move(*data), delay_ms_};
    track.before_previous = new_image(size_, QImage::Format_ARGB32);
    track.before_previous.fill(0u);
    return {};
}

void ApngEncoder::write_pending(Track& track, uint8_t dispose) {
    const Pending& pending = track.pending;
    track.out.append(png_chunk_bytes(
        "fcTL",
        frame_control(track.sequence++, pending.rect, pending.delay_ms, dispose, pending.blend)));
    if (track.sequence == 1) {
        track.out.append(png_chunk_bytes("IDAT", pending.data));
    } else {
        QByteArray fdat;
        append_be32(fdat, track.sequence++);
        fdat.append(pending.data);
        track.out.append(png_chunk_bytes("fdAT", fdat));
    }
    track.pending = {};
}

std::expected<void, QString> ApngEncoder::code(Track& track, const QImage& frame) {
    // What the frame before may leave behind: itself, its rectangle cleared, or the canvas it
    // was drawn on. Each is tried with its own changed rectangle.
    std::vector<std::pair<uint8_t, Base>> bases;
    bases.emplace_back(kDisposeNone, Base{&previous_, {}});
    bases.emplace_back(kDisposeBackground, Base{&previous_, track.pending.rect});
    if (added_ > 1) bases.emplace_back(kDisposePrevious, Base{&track.before_previous, {}});

    const PngCoding coding = candidate_coding(track.layout, effort_);
    struct Candidate {
        uint8_t dispose = kDisposeNone;
        uint8_t blend = kBlendSource;
        QRect rect;
        QImage pixels;  ///< the rectangle's pixels as stored
        QByteArray png;
    };
    std::optional<Candidate> best;
    auto consider = [&](Candidate c) -> std::expected<void, QString> {
        auto png = encode_png(c.pixels, c.pixels.rect(), track.layout, coding);
        if (!png) return std::unexpected(png.error());
        c.png = std::move(*png);
        if (!best || c.png.size() < best->png.size()) best = std::move(c);
        return {};
    };
    for (const auto& [dispose, base] : bases) {
        QRect rect = changed_over(base, frame);
        const bool unchanged = rect.isEmpty();
        if (unchanged) rect = QRect(0, 0, 1, 1);
        QImage pixels = allocated_from(frame.copy(rect), frame);
        if (auto r = consider({dispose, kBlendSource, rect, std::move(pixels), {}}); !r) {
            return std::unexpected(r.error());
        }
        if (track.layout.has_clear() && !unchanged) {
            QImage patch = blend_patch(base, frame, rect);
            if (!patch.isNull()) {
                if (auto r = consider({dispose, kBlendOver, rect, std::move(patch), {}}); !r) {
                    return std::unexpected(r.error());
                }
            }
        }
    }
    auto data = code_winner(track, best->pixels, best->png);
    if (!data) return std::unexpected(data.error());

    // The canvas this frame is drawn on is what the frame before leaves.
    if (best->dispose == kDisposeNone) {
        track.before_previous = previous_;
    } else if (best->dispose == kDisposeBackground) {
        copy_cleared(previous_, track.pending.rect, track.before_previous);
    }
    write_pending(track, best->dispose);
    track.pending = {best->rect, best->blend, std::move(*data), delay_ms_};
    return {};
}

void ApngEncoder::keep_smallest_track() {
    auto bytes = [](const Track& t) { return t.out.size() + t.pending.data.size(); };
    const auto smallest =
        std::min_element(tracks_.begin(), tracks_.end(),
                         [&](const Track& a, const Track& b) { return bytes(a) < bytes(b); });
    if (smallest != tracks_.begin()) std::swap(tracks_.front(), *smallest);
    tracks_.resize(1);
}

std::expected<void, QString> ApngEncoder::add(const QImage& frame, int duration_ms) {
    if (frame.size() != size_) return std::unexpected(QStringLiteral("the frames differ in size"));
    if (added_ == frames_) return std::unexpected(QStringLiteral("more frames than surveyed"));
    delay_ms_ = duration_ms != 0 ? duration_ms : timing_.frame_ms;
    for (Track& track : tracks_) {
        auto coded = added_ == 0 ? start(track, frame) : code(track, frame);
        if (!coded) return coded;
    }
    previous_ = frame;
    ++added_;
    if (tracks_.size() > 1 && added_ == kTrialFrames) keep_smallest_track();
    return {};
}

std::expected<QByteArray, QString> ApngEncoder::finish() {
    if (added_ == 0) return std::unexpected(QStringLiteral("there are no frames"));
    if (added_ != frames_) return std::unexpected(QStringLiteral("fewer frames than surveyed"));
    keep_smallest_track();
    Track& track = tracks_.front();
    write_pending(track, kDisposeNone);
    track.out.append(png_chunk_bytes("IEND", {}));
    previous_ = QImage();
    track.before_previous = QImage();
    return std::move(track.out);
}

namespace {

class ApngWriter : public FrameWriter {
  public:
    ApngWriter(const QString& path, const AnimationTiming& timing, CodingEffort effort)
        : path_(path), timing_(timing), effort_(effort) {}

    bool surveys() const override { return true; }

    std::expected<void, QString> survey(const StageFrame& frame) override {
        if (auto added = survey_.add(stage_with_alpha(frame.stage.image(), frame.coverage));
            !added) {
            return std::unexpected(QStringLiteral("%1: %2").arg(path_, added.error()));
        }
        surveyed_ = true;
        return {};
    }

    std::expected<void, QString> add(const StageFrame& frame) override {
        QImage image = stage_with_alpha(frame.stage.image(), frame.coverage);
        if (!surveyed_) {
            // Not surveyed: the frames wait for finish().
            frames_.push_back(std::move(image));
            durations_.push_back(frame.duration_ms);
            return {};
        }
        if (!encoder_) {
            encoder_.emplace(survey_, timing_, effort_);
            survey_ = ApngSurvey();  // its last frame is not needed any more
        }
        if (auto added = encoder_->add(image, frame.duration_ms); !added) {
            return std::unexpected(QStringLiteral("%1: %2").arg(path_, added.error()));
        }
        return {};
    }

    std::expected<QStringList, QString> finish() override {
        if (!frames_.empty()) {
            auto bytes = encode_apng(frames_, timing_, effort_, durations_);
            frames_.clear();
            durations_.clear();
            return write_animation(path_, bytes);
        }
        if (!encoder_) return QStringList{};
        return write_animation(path_, encoder_->finish());
    }

  private:
    QString path_;
    AnimationTiming timing_;
    CodingEffort effort_;
    ApngSurvey survey_;
    bool surveyed_ = false;
    std::optional<ApngEncoder> encoder_;
    std::vector<QImage> frames_;
    std::vector<int> durations_;
};

}  // namespace

std::expected<QByteArray, QString> encode_apng(std::span<const QImage> frames,
                                               const AnimationTiming& timing, CodingEffort effort,
                                               std::span<const int> durations_ms) {
    if (frames.empty()) return std::unexpected(QStringLiteral("there are no frames"));
    ApngSurvey survey;
    for (const QImage& frame : frames) {
        if (auto added = survey.add(frame); !added) return std::unexpected(added.error());
    }
    ApngEncoder encoder(survey, timing, effort);
    for (size_t i = 0; i < frames.size(); ++i) {
        const int duration_ms = i < durations_ms.size() ? durations_ms[i] : 0;
        if (auto added = encoder.add(frames[i], duration_ms); !added) {
            return std::unexpected(added.error());
        }
    }
    return encoder.finish();
}

std::unique_ptr<FrameWriter> make_apng_writer(const QString& path, const AnimationTiming& timing,
                                              CodingEffort effort) {
    return std::make_unique<ApngWriter>(path, timing, effort);
}

}  // namespace koma
