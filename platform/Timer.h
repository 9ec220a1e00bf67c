#pragma once
// A timer that reads like the program's design: it fires every Interval ms
// on the UI thread while Enabled and Interval > 0; Interval 0 means stopped.
// Its scheduling comes from the TimeSource it is given, and OnTimer always
// runs guarded.
#include "platform/TimeSource.h"

#include <QObject>
#include <functional>
#include <memory>

namespace lumetta {

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(TimeSource &source, QObject *parent = nullptr);
    ~Timer() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int Interval() const { return m_interval; }
    void setInterval(int milliseconds);
    // Running: Enabled with an interval above 0.
    bool isActive() const { return m_enabled && m_interval > 0; }

    std::function<void()> OnTimer;

signals:
    void timeout();

private:
    void fire();
    void update();
    std::unique_ptr<TimerBackend> m_backend;
    bool m_enabled = true;
    int m_interval = 0;
};

} // namespace lumetta
