#include "app/RunMode.h"

namespace lumetta {

RunMode ParseRunMode(const QStringList &arguments)
{
    RunMode mode;
    if (arguments.isEmpty())
        return mode;
    const QString first = arguments.first().toLower();
    // The switch character itself is never looked at, so "-s" works like "/s".
    const QChar letter = first.size() >= 2 ? first.at(1) : QChar();
    if (letter == QLatin1Char('p'))
        mode.preview = true;
    else if (letter == QLatin1Char('s'))
        mode.screenSaver = true;
    else if (letter == QLatin1Char('c'))
        mode.config = true;
    mode.admin = first == AdminWord;
    mode.idle = first == IdleWord;
    return mode;
}

QString MainCaption(const QString &title, const QString &fileVersion)
{
    const QStringList parts = fileVersion.split(QLatin1Char('.'));
    QStringList shown;
    for (int i = 0; i < 3; ++i)
        shown << QString::number(i < parts.size() ? parts.at(i).trimmed().toInt() : 0);
    return title + QStringLiteral(" v") + shown.join(QLatin1Char('.'));
}

AfterSetUp DecideAfterSetUp(const RunMode &mode, const SetUpOutcome &outcome, bool slideShowAvailable)
{
    if (outcome.terminating || outcome.endProcess)
        return AfterSetUp::End;
    if (!mode.screenSaver)
        return AfterSetUp::ShowWindowAndRun;  // a set-up error leaves the window usable
    return outcome.completed && slideShowAvailable ? AfterSetUp::RunWithoutWindow : AfterSetUp::End;
}

bool ShowsBesideAnotherRun(const RunMode &mode, const std::optional<quintptr> &daemonWindow)
{
    return mode.screenSaver && daemonWindow.has_value() && *daemonWindow != 0;
}

} // namespace lumetta
