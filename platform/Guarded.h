#pragma once
// Handlers run inside Qt's signal dispatch, which an exception must not
// cross. Every handler and timer runs through RunGuarded: an error is handed
// to the program's one error path (the main window shows it) and the event
// loop goes on.
#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

namespace lumetta {

using ErrorSink = std::function<void(const QString &message)>;

// Installs the error path for as long as this object lives; the one it
// replaced comes back afterwards. Without one, errors go to stderr.
class ScopedErrorSink {
public:
    explicit ScopedErrorSink(ErrorSink sink);
    ~ScopedErrorSink();
    ScopedErrorSink(const ScopedErrorSink &) = delete;
    ScopedErrorSink &operator=(const ScopedErrorSink &) = delete;

private:
    ErrorSink m_previous;
};

// Shows message on the error path; a failure inside the path itself falls
// back to stderr instead of climbing out.
void ReportError(const QString &message);

// Runs work; an exception it raises is reported and false returned.
bool RunGuarded(const std::function<void()> &work);

// Wraps a handler for connect(): the constraint lets Qt find how many of the
// signal's arguments the handler takes.
template <typename Handler>
auto Guarded(Handler handler)
{
    return [handler = std::move(handler)](auto &&...args) -> void
               requires std::is_invocable_v<const Handler &, decltype(args)...> {
        RunGuarded([&] { handler(std::forward<decltype(args)>(args)...); });
    };
}

} // namespace lumetta
