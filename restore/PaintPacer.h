#pragma once
// Paced refreshes during a long run: a window that follows thousands of small files paints
// and handles its pending events at most about 30 times a second, not once per file.
#include <QElapsedTimer>

namespace cwr {

class PaintPacer {
public:
    static constexpr qint64 kIntervalMs = 33;

    // Whether a refresh is due; when it is, the next one is due an interval later.
    bool due() {
        if (timer_.isValid() && timer_.elapsed() < kIntervalMs)
            return false;
        timer_.start();
        return true;
    }
    void restart() { timer_.invalidate(); }

private:
    QElapsedTimer timer_;
};

} // namespace cwr
