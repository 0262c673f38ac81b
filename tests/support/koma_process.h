#pragma once

#include <QString>
#include <QStringList>

namespace koma::test {

/// What one run of the real program printed and returned.
struct KomaRun {
    int code = -1;  ///< the exit status; -1 when the program crashed or did not finish
    QString out;
    QString err;
};

/// Runs the built program with `arguments` in `working_folder`, with no display at all.
KomaRun run_koma_binary(const QStringList& arguments, const QString& working_folder);

}  // namespace koma::test
