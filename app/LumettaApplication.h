#pragma once
// The application object routes every exception that escapes an event
// handler to one handler, which shows the message; the event loop goes on.
#include <QApplication>
#include <functional>

namespace lumetta {

class LumettaApplication : public QApplication {
    Q_OBJECT
public:
    using ExceptionHandler = std::function<void(const QString &message)>;

    LumettaApplication(int &argc, char **argv);

    void setExceptionHandler(ExceptionHandler handler) { m_handler = std::move(handler); }
    // Runs work and hands an exception it raises to the handler; false then.
    bool guarded(const std::function<void()> &work);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void report(const QString &message);
    ExceptionHandler m_handler;
};

} // namespace lumetta
