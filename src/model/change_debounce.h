#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class QTimer;

namespace koma {

/// How long a changed file is left alone before it is read, and for how long one that does not
/// read yet (half written) is tried again.
struct DebounceTiming {
    /// A file is read once it has had no change for this long (a burst of writes is one change).
    int quiet_ms = 200;
    /// A file that does not read yet is tried again after this long...
    int retry_ms = 100;
    /// ...until this long has passed since its last change; then it is taken as it is.
    int give_up_ms = 2000;
};

/// Milliseconds on a clock that only goes forward.
using DebounceClock = std::function<int64_t()>;

/// A clock that starts at 0 when it is made and counts real (monotonic) milliseconds.
DebounceClock monotonic_clock();

/// The times at which changed files are due to be read, as plain data with the time passed in:
/// the services that follow files (slots, the state file, the command line's --watch) keep one
/// and ask it when to act, so that tests can drive it with a clock of their own.
class ChangeDebounce {
  public:
    explicit ChangeDebounce(DebounceTiming timing = {}) : timing_(timing) {}

    /// A key (a file's path) due to be handled, and when it last changed.
    struct Due {
        QString key;
        int64_t last_change_ms = 0;
    };

    /// `key` changed at `now_ms`: it is due once quiet_ms have passed with no further change
    /// (a key already waiting, or being retried, waits again).
    void touch(const QString& key, int64_t now_ms);
    /// Takes the keys that are due at `now_ms`, in the order of their keys; they no longer wait.
    std::vector<Due> take_due(int64_t now_ms);
    /// Puts back a key taken by take_due that could not be handled yet: due again retry_ms after
    /// `now_ms`, unless give_up_ms have passed since its last change. Returns whether it waits
    /// again (false: the caller takes the file as it is). A key touched since it was taken waits
    /// already, and this changes nothing.
    bool retry(const Due& due, int64_t now_ms);
    /// Milliseconds from `now_ms` until the next key is due (0 when one is due already), or -1
    /// when nothing waits.
    int64_t wait_ms(int64_t now_ms) const;
    /// Starts the single-shot `timer` for the next key due after `now_ms` (a
    /// minute at most: it is asked again then), or stops it when nothing waits.
    void arm(QTimer& timer, int64_t now_ms) const;
    /// Forgets every waiting key.
    void clear() { waiting_.clear(); }

    const DebounceTiming& timing() const { return timing_; }

  private:
    struct Waiting {
        int64_t last_change_ms;
        int64_t due_ms;
    };
    DebounceTiming timing_;
    std::map<QString, Waiting> waiting_;
};

}  // namespace koma
