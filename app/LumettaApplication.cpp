#include "app/LumettaApplication.h"

#include "common/Errors.h"
#include <cstdio>

namespace lumetta {

LumettaApplication::LumettaApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool LumettaApplication::guarded(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const Error &e) {
        report(e.message());
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool LumettaApplication::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

void LumettaApplication::report(const QString &message)
{
    if (m_handler) {
        // The message box runs its own loop; a second failure inside it must
        // not climb back out through this frame.
        try {
            m_handler(message);
        } catch (...) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        }
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

} // namespace lumetta
