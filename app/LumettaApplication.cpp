#include "app/LumettaApplication.h"

#include "platform/Guarded.h"

namespace lumetta {

LumettaApplication::LumettaApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool LumettaApplication::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    RunGuarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace lumetta
