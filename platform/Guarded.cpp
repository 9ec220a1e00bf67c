#include "platform/Guarded.h"

#include "common/Errors.h"
#include <QCoreApplication>
#include <cstdio>

namespace lumetta {

namespace {
ErrorSink &CurrentSink()
{
    static ErrorSink sink;
    return sink;
}

void ToStderr(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

ScopedErrorSink::ScopedErrorSink(ErrorSink sink) : m_previous(std::move(CurrentSink()))
{
    CurrentSink() = std::move(sink);
}

ScopedErrorSink::~ScopedErrorSink()
{
    CurrentSink() = std::move(m_previous);
}

void ReportError(const QString &message)
{
    // The sink may run a message box with its own loop; a second failure
    // inside it must not unwind through that loop.
    const ErrorSink sink = CurrentSink();
    if (!sink) {
        ToStderr(message);
        return;
    }
    try {
        sink(message);
    } catch (...) {
        ToStderr(message);
    }
}

bool RunGuarded(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const Error &e) {
        ReportError(e.message());
    } catch (const std::exception &e) {
        ReportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportError(QCoreApplication::translate("Guarded", "Unknown error"));
    }
    return false;
}

} // namespace lumetta
