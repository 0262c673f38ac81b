#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <expected>
#include <functional>
#include <vector>

namespace koma {

/// One frame of an animation as what it paints over the frame before it: `pixels` (RGB32, or
/// ARGB32 whose pixels of alpha 0 are clear) placed with their top-left corner at `at`; every
/// pixel outside them stays as it was. A null `pixels` paints nothing: the frame repeats the
/// one before.
struct FramePatch {
    QPoint at;
    QImage pixels;
};

/// An animation of equally sized frames as patches, one per frame, in order. The first patch
/// covers the whole frame; a later one may cover more than what really changed.
struct PatchedFrames {
    QSize size;
    std::vector<FramePatch> patches;
};

/// What a PatchSource hands each patch to, with the patch's position in the animation. A
/// failure ends the walk over the patches and is handed back.
using PatchVisitor = std::function<std::expected<void, QString>(size_t frame, const FramePatch&)>;

/// An animation of equally sized frames as patches over one another (as PatchedFrames holds
/// them), handed over one at a time, as often as a coder needs to see them, so that no more
/// than one patch need be whole in memory at once.
class PatchSource {
  public:
    virtual ~PatchSource() = default;
    virtual QSize frame_size() const = 0;
    virtual size_t frames() const = 0;
    /// Hands every patch to `visit`, in order. Fails with the visitor's failure, or with a
    /// message when a patch cannot be made.
    virtual std::expected<void, QString> each(const PatchVisitor& visit) const = 0;
    /// Whether every patch after the first covers exactly the bounding rectangle of the pixels
    /// that changed (null when none did), so that a coder need not find that out itself.
    virtual bool exact_patches() const { return false; }
};

/// The patches of PatchedFrames as a PatchSource; `frames` must outlive it.
class HeldPatches : public PatchSource {
  public:
    explicit HeldPatches(const PatchedFrames& frames) : frames_(frames) {}
    QSize frame_size() const override { return frames_.size; }
    size_t frames() const override { return frames_.patches.size(); }
    std::expected<void, QString> each(const PatchVisitor& visit) const override {
        for (size_t i = 0; i < frames_.patches.size(); ++i) {
            if (auto taken = visit(i, frames_.patches[i]); !taken) return taken;
        }
        return {};
    }

  private:
    const PatchedFrames& frames_;
};

}  // namespace koma
