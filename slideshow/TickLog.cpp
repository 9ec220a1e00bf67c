#include "slideshow/TickLog.h"

#include <QDateTime>

namespace lumetta {

QByteArray TickLogLine(const QDateTime &at, qint64 tick, const TickReport &report)
{
    QString line = QStringLiteral("%1 tick %2 cam %3 %4")
                       .arg(at.toString(Qt::ISODateWithMs))
                       .arg(tick)
                       .arg(report.cam + 1)
                       .arg(report.displayed ? QStringLiteral("shown") : QStringLiteral("not-shown"));
    if (!report.fetchFailure.isEmpty())
        line += QStringLiteral(", failed: ") + QString(report.fetchFailure).replace(u'\n', u' ').replace(u'\r', u' ');
    return line.toUtf8() + '\n';
}

TickLog::TickLog(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    m_file.setFileName(fileName);
    (void)m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void TickLog::write(const TickReport &report)
{
    ++m_ticks;
    if (m_file.isOpen())
        (void)m_file.write(TickLogLine(QDateTime::currentDateTime(), m_ticks, report));
}

} // namespace lumetta
