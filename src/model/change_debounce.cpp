#include "model/change_debounce.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace koma {

DebounceClock monotonic_clock() {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    return [started] { return static_cast<int64_t>(started->elapsed()); };
}

void ChangeDebounce::touch(const QString& key, int64_t now_ms) {
    waiting_[key] = {now_ms, now_ms + timing_.quiet_ms};
}

std::vector<ChangeDebounce::Due> ChangeDebounce::take_due(int64_t now_ms) {
    std::vector<Due> due;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (it->second.due_ms <= now_ms) {
            due.push_back({it->first, it->second.last_change_ms});
            it = waiting_.erase(it);
        } else {
            ++it;
        }
    }
    return due;
}

bool ChangeDebounce::retry(const Due& due, int64_t now_ms) {
    if (waiting_.contains(due.key)) {
        return true;
    }
    if (now_ms - due.last_change_ms >= timing_.give_up_ms) {
        return false;
    }
    waiting_[due.key] = {due.last_change_ms, now_ms + timing_.retry_ms};
    return true;
}

int64_t ChangeDebounce::wait_ms(int64_t now_ms) const {
    int64_t next = -1;
    for (const auto& [key, waiting] : waiting_) {
        const int64_t wait = std::max<int64_t>(0, waiting.due_ms - now_ms);
        next = next < 0 ? wait : std::min(next, wait);
    }
    return next;
}

void ChangeDebounce::arm(QTimer& timer, int64_t now_ms) const {
    const int64_t wait = wait_ms(now_ms);
    if (wait < 0) {
        timer.stop();
    } else {
        timer.start(static_cast<int>(std::min<int64_t>(wait, 60'000)));
    }
}

}  // namespace koma
