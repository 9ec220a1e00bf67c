#include "app/CatalogueQuestions.h"

#include <QCoreApplication>
#include <cmath>

namespace lumetta {

TDateTime InactiveSitesCutoff(QDate picked, TDateTime now)
{
    return FromQDateTime(QDateTime(picked, QTime(0, 0))) + (now - std::floor(now));
}

QString InactiveSiteQuestion(const Catalogue::Candidate &candidate)
{
    return QCoreApplication::translate("TfrmMain", "Index: %1\r\nSite: %2\r\nLast Active Date: %3\r\n\r\nDelete this site?")
        .arg(candidate.index)
        .arg(candidate.name, candidate.lastActive);
}

Catalogue::Decision DeleteInactiveDecision(DialogButton answer)
{
    switch (answer) {
    case DialogButton::Yes: return Catalogue::Decision::Yes;
    case DialogButton::YesToAll: return Catalogue::Decision::YesToAll;
    case DialogButton::Abort: return Catalogue::Decision::Abort;
    default: return Catalogue::Decision::No;
    }
}

} // namespace lumetta
