#pragma once

#include <QByteArray>

namespace koma {

/// Whether `bytes` hold a JPEG stream that is whole: the start-of-image marker, then segments
/// each as long as its length says, at least one start-of-scan segment followed by its coded
/// data, and the end-of-image marker after the last scan (anything after that marker is left
/// alone). A stream that ends early, has no scan or has a segment that runs past its end is not
/// whole; libjpeg would decode such a stream into a grey picture with no error. Only the
/// structure is looked at, not the coded data.
bool jpeg_stream_whole(const QByteArray& bytes);

}  // namespace koma
