#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "codecs/coding_effort.h"
#include "codecs/frame_writer.h"

namespace koma {

/// The file name of step `step` of a sequence.
using StepFileName = std::function<QString(int step)>;

/// A writer of one 24-bit BMP file per step, named by `name`, each written as its step comes
/// (see encode_bmp), replaced as FrameWriter::write_file does. BMP holds no transparency: the
/// coverage is not looked at.
std::unique_ptr<FrameWriter> make_bmp_sequence_writer(StepFileName name);

/// A writer of one PNG file per step, named by `name`, each written as its step comes in an
/// exact layout for its own pixels, coded with `effort` (see encode_png), with alpha from the
/// coverage. Files are replaced as FrameWriter::write_file does.
std::unique_ptr<FrameWriter> make_png_sequence_writer(StepFileName name,
                                                      CodingEffort effort = CodingEffort::Default);

}  // namespace koma
