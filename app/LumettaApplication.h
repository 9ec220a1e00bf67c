#pragma once
// The application object runs every event handler guarded, so an exception
// that escapes one takes the program's one error path (platform/Guarded)
// and the event loop goes on.
#include <QApplication>

namespace lumetta {

class LumettaApplication : public QApplication {
    Q_OBJECT
public:
    LumettaApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace lumetta
