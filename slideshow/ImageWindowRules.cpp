#include "slideshow/ImageWindowRules.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumetta {

MouseMoveAction DecideMouseMove(const MouseMoveContext &c, QPoint last, QPoint now)
{
    if (c.firstArgument.toLower() == QLatin1String("ss") || !c.screenSaverMode || c.detectionDisabled || !c.armed)
        return MouseMoveAction::None;
    if (last == NoMousePosition)
        return MouseMoveAction::Record;
    // Both directions: a jolt of the desk moves the mouse along one axis.
    if (std::abs(now.x() - last.x()) <= 2 || std::abs(now.y() - last.y()) <= 2)
        return MouseMoveAction::None;
    if (c.toggleMode)
        return MouseMoveAction::ToggleHold;
    if (c.adShown)
        return MouseMoveAction::KeepAdShown;
    return MouseMoveAction::End;
}

bool KeyTogglesHold(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier);
    return held == Qt::AltModifier || (key == Qt::Key_Alt && held == Qt::NoModifier);
}

bool KeyEndsShow(const QString &text, Qt::KeyboardModifiers modifiers)
{
    return !text.isEmpty() && !(modifiers & Qt::AltModifier);
}

namespace {

std::optional<quintptr> ParseWindowId(const QString &text)
{
    bool ok = false;
    const QString t = text.trimmed();
    const qulonglong id = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                              ? t.mid(2).toULongLong(&ok, 16)
                              : t.toULongLong(&ok, 10);
    if (!ok || id == 0)
        return std::nullopt;
    return quintptr(id);
}

} // namespace

std::optional<quintptr> EmbedWindowId(const QStringList &arguments, const QString &environment)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("-window-id"));
    if (at >= 0 && at + 1 < arguments.size())
        return ParseWindowId(arguments.at(at + 1));
    if (!environment.isEmpty())
        return ParseWindowId(environment);
    return std::nullopt;
}

QString AdLinkText(const QString &link)
{
    QString shown = link;
    for (const QLatin1String scheme : {QLatin1String("http://"), QLatin1String("https://")})
        if (link.startsWith(scheme, Qt::CaseInsensitive))
            shown = link.mid(scheme.size());
    return QCoreApplication::translate("ImageWindowRules", "Visit %1").arg(shown);
}

AgeBadge PictureAgeBadge(TDateTime age, TDateTime interval)
{
    const qint64 seconds = std::max<qint64>(0, std::llround(age * SecondsPerDay));
    const qint64 step = std::max<qint64>(60, std::llround(interval * SecondsPerDay));
    AgeBadge badge;
    badge.text = AgeText(age);
    badge.age = seconds <= 2 * step ? PictureAge::Fresh : seconds <= 10 * step ? PictureAge::Late : PictureAge::Stale;
    return badge;
}

QColor PictureAgeColour(PictureAge age)
{
    switch (age) {
    case PictureAge::Fresh:
        return QColor(0, 255, 0);
    case PictureAge::Late:
        return QColor(255, 255, 0);
    case PictureAge::Stale:
        break;
    }
    return QColor(255, 0, 0);
}

} // namespace lumetta
