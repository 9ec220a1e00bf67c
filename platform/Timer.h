#pragma once
// A timer that reads like the program's design: it fires every Interval ms
// on the UI thread while Enabled and Interval > 0; Interval 0 means stopped.
#include <QObject>
#include <QTimer>
#include <functional>

namespace lumetta {

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject *parent = nullptr);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int Interval() const { return m_interval; }
    void setInterval(int milliseconds);

    std::function<void()> OnTimer;

signals:
    void timeout();

private:
    void update();
    QTimer m_timer;
    bool m_enabled = true;
    int m_interval = 0;
};

} // namespace lumetta
