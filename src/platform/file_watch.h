#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace koma {

/// Tells when watched files may have changed on disk: written in place, replaced (by a rename,
/// as editors and atomic savers do), removed, or created where a watched file was missing. The
/// program's services (slots that follow their files, the state file, the command line's
/// --watch) listen to one of these; tests give them a fake that sends the signal itself.
class FileWatch : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    /// Watches exactly the files at `paths` from now on, whether they exist yet or not; files
    /// watched before and not named are no longer watched. An empty list watches nothing.
    virtual void watch(const QStringList& paths) = 0;

  signals:
    /// The watched file at `path` was written, replaced, removed or created. One change can be
    /// told several times (a write in pieces is several writes); a listener that must see the
    /// whole change waits for the signals to stop.
    void touched(const QString& path);
};

}  // namespace koma
