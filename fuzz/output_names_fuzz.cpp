// The names an export builds from a folder and a base name, on arbitrary text. A base name that
// base_name_fault accepts must give names that lie directly in the folder and end in the base
// name and their suffix; one it refuses must hold what it was refused for. The box's
// character check must agree with it.
#include <QString>
#include <algorithm>
#include <cstdlib>

#include "export/frame_export.h"
#include "model/base_name.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte says where the folder ends and which step is named; the rest is UTF-16,
    // so that NUL, separators and every control character can appear.
    const int step = data[0] % 91;
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(data + 1),
                                            static_cast<qsizetype>((size - 1) / 2));
    const qsizetype cut = text.isEmpty() ? 0 : data[1] % (text.size() + 1);
    const QString folder = QLatin1Char('/') + text.left(cut);
    const QString basename = text.mid(cut);

    const QString fault = koma::base_name_fault(basename);
    const bool chars_allowed =
        std::all_of(basename.begin(), basename.end(), koma::base_name_char_allowed);
    const bool dots = basename == QLatin1String(".") || basename == QLatin1String("..");
    check(fault.isEmpty() == (!basename.isEmpty() && chars_allowed && !dots));

    const QString names[] = {
        koma::bmp_file_name(folder, basename, step), koma::png_file_name(folder, basename, step),
        koma::gif_file_name(folder, basename), koma::apng_file_name(folder, basename),
        koma::webp_file_name(folder, basename)};
    const bool clean_folder = !folder.contains(QChar(0));
    for (const QString& name : names) {
        const bool inside = koma::lies_in_folder(name, folder);
        if (fault.isEmpty() && clean_folder) {
            check(inside);
            const QString file = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
            check(file.startsWith(basename));
        }
        if (basename.contains(QChar(0))) check(!inside);
    }
    return 0;
}
