#pragma once
// The main window on its own program folder and settings store, with
// scripted dialogs, a fake shell, and the test clock and time source.
#include "app/TfrmMain.h"
#include "support/FakeShell.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestTime.h"

#include <memory>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace lumetta::test {

// A catalogue line: its picture http://cam.example/<name>.jpg unless url is given, kept as <name>.jpg.
inline QString Rec(const QString &category, const QString &name, bool enabled,
                   const QString &lastModified = "2000-01-01", const QString &url = {})
{
    return QStringList{category, name, url.isNull() ? "http://cam.example/" + name + ".jpg" : url, "",
                       "00:05:00", "00:00:00", "23:59:59", name + ".jpg", "2000-01-01", lastModified,
                       enabled ? "1" : "0", "1", "0"}
        .join("||");
}

struct MainWindowRig {
    // The window of a run with these arguments, before its FormCreate.
    TfrmMain &create(const QStringList &arguments = {})
    {
        frm = std::make_unique<TfrmMain>(ParseRunMode(arguments), MainServices{dialogs, shell, clock, time});
        return *frm;
    }
    Ui::TfrmMain *ui() { return frm->ui(); }

    TestEnv env;
    ScriptedDialogs dialogs;
    FakeShell shell;
    TestClock clock{EncodeDate(2026, 12, 6) + EncodeTime(12, 0, 0)};
    TestTimeSource time;
    std::unique_ptr<TfrmMain> frm;  // last: goes first
};

} // namespace lumetta::test
