#pragma once
// Sending one webcam to the maker's list and exporting the catalogue as the
// two master lists: the decisions, without a network or a window.
#include "common/DateTime.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

inline const QString SubmissionEmail = QStringLiteral("lists@korvane.example");
QString SubmissionPath();  // below the vendor site
// What a successful answer carries: "Email: " and the address up to its "@".
QString SubmissionMarker();

// The user's messages; shown through SubmissionText, compared in English.
inline const QString SubmissionDisabledMessage =
    QStringLiteral(QT_TRANSLATE_NOOP("Submission", "Webcam export is currently disabled.\r\nPlease try later."));
inline const QString SubmissionUntestedMessage = QStringLiteral(
    QT_TRANSLATE_NOOP("Submission", "Please test to make sure the webcam is active and then try again."));
inline const QString SubmissionInactiveMessage = QStringLiteral(QT_TRANSLATE_NOOP(
    "Submission", "The selected webcam cannot be exported because it has been inactive for more than 60 days."));
inline const QString SubmissionNoSelectionMessage =
    QStringLiteral(QT_TRANSLATE_NOOP("Submission", "Please select a webcam and its category first."));
inline const QString SubmissionQuestionTitle = QStringLiteral(QT_TRANSLATE_NOOP("Submission", "Export Selected Cam?"));
inline const QString SubmissionQuestion = QStringLiteral(
    QT_TRANSLATE_NOOP("Submission",
                      "You are about to send info about the selected webcam.\r\nYou must be connected to the internet "
                      "to do this.\r\n\r\nClick OK to continue or CANCEL to abort."));
inline const QString SubmissionListedMessage =
    QStringLiteral(QT_TRANSLATE_NOOP("Submission", "The selected webcam already exists in our list."));
inline const QString SubmissionListsFailedMessage =
    QStringLiteral(QT_TRANSLATE_NOOP("Submission", "Could not add cam to list. Please try later"));
inline const QString SubmissionThanksMessage =
    QStringLiteral(QT_TRANSLATE_NOOP("Submission",
                                     "Thank you!\r\nThe webcam info has been sent successfully.\r\nIt will be included "
                                     "in our list at the next update."));
inline const QString SubmissionFailedMessage = QStringLiteral(QT_TRANSLATE_NOOP("Submission", "Export Failed."));

struct SubmissionRefusal {
    QString message;
    bool beep = false;
};

// The checks before the question: the switch, a readable last-active time,
// and at most 60 days of silence. nullopt lets the submission go on.
std::optional<SubmissionRefusal> CheckSubmission(int exeSwitch, bool hasSelection,
                                                 const QString &lastModified, TDateTime now);

struct SubmissionFields {
    QString category;
    QString siteName;
    QString imageUrl;
    QString homePage;
    TDateTime refreshRate = 0;
    TDateTime startTime = 0;  // local
    TDateTime endTime = 0;    // local
    QString version;
};
QString SubmissionQuery(const SubmissionFields &fields, int biasMinutes);

// One of the texts above in the user's language.
QString SubmissionText(const QString &english);

// The switch as a response's "X-EXE" sets it; nullopt when absent or empty.
std::optional<int> ExeSwitchFromHeader(const QString &value);

// Any line of the lists whose image URL is exactly url.
bool ListHasImageUrl(const QStringList &lines, const QString &url);

// The enabled catalogue webcams as list lines, sorted ignoring case without
// repeats; adult ones apart.
struct MasterLists {
    QStringList main;
    QStringList adult;
    QString error;  // non-empty: nothing is to be written
};
MasterLists BuildMasterLists(const QStringList &camData, int biasMinutes);
// Counts of the lists written; nullopt for a list with no file name.
QString ExportReport(std::optional<int> mainCount, std::optional<int> adultCount);

inline const QString DeleteSubmissionsTitle =
    QStringLiteral(QT_TRANSLATE_NOOP("Submission", "Delete master webcam list"));
inline const QString DeleteSubmissionsQuestion = QStringLiteral(QT_TRANSLATE_NOOP(
    "Submission", "You are about to DELETE the master webcam list.\r\n\r\nClick OK to continue or CANCEL to abort."));

} // namespace lumetta
