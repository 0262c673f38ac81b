#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace koma {

/// SIGINT and SIGTERM, caught while the object lives, so that a command that runs until it is
/// interrupted (koma export --watch) ends cleanly: a signal sets requested() at once (an export
/// under way asks it and stops) and emits stopped() from the event loop. The handlers there
/// were before are put back when it goes. One at a time.
class StopSignals : public QObject {
    Q_OBJECT
  public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    /// Whether SIGINT or SIGTERM came since the object was made; safe from any thread.
    static bool requested();

  signals:
    void stopped();

  private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace koma
