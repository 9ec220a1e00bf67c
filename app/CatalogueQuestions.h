#pragma once
// The questions the catalogue's editing rules ask, turned into what the
// user reads and back into the rules' own answers.
#include "catalogue/Catalogue.h"
#include "platform/Dialogs.h"

#include <QDate>

namespace lumetta {

// The picker's day at the time of day it is now: a webcam last active
// before that day is always a candidate.
TDateTime InactiveSitesCutoff(QDate picked, TDateTime now);

QString InactiveSiteQuestion(const Catalogue::Candidate &candidate);

// A closed box counts as No.
Catalogue::Decision DeleteInactiveDecision(DialogButton answer);

} // namespace lumetta
