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
/// `environment` holds "NAME=value" entries set on top of this process's environment.
KomaRun run_koma_binary(const QStringList& arguments, const QString& working_folder,
                        const QStringList& environment = {});

}  // namespace koma::test
