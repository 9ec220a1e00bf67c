#pragma once
// One webcam is one line of thirteen fields joined by "||".
#include "common/DateTime.h"
#include <QString>
#include <QStringList>

namespace lumetta {

inline const QString FieldSeparator = QStringLiteral("||");

enum CamField {
    fCategory = 1,
    fSiteName,
    fImageUrl,
    fHomePage,
    fRefreshRate,
    fStartTime,
    fEndTime,
    fLocalFilename,
    fLastDownloadTime,
    fLastModified,
    fEnabled,
    fAutoAdjust,
    fShowLastImage,
};
inline constexpr int CamFieldCount = 13;

enum class AutoAdjustState { Off = 0, On = 1, Grayed = 2 };

// Flag readers with their defaults for a missing or non-numeric field.
bool ReadEnabledFlag(const QString &field);          // > 0; missing reads 0
AutoAdjustState ReadAutoAdjustFlag(const QString &field);  // missing reads 1
bool ReadShowLastImageFlag(const QString &field);    // > 0; missing reads 0
QString FlagText(bool value);
QString AutoAdjustText(AutoAdjustState state);

// A record as its text fields; field(k) is 1-based and empty when missing.
class CamRecord {
public:
    CamRecord() = default;
    static CamRecord fromLine(const QString &line);  // splits as stored
    QString toLine() const;                          // always 13 fields

    QString field(int k) const;
    void setField(int k, const QString &value);
    int sourceFieldCount() const { return m_sourceCount; }

    QString category() const { return field(fCategory); }
    QString siteName() const { return field(fSiteName); }
    QString imageUrl() const { return field(fImageUrl); }
    QString localFilename() const { return field(fLocalFilename); }
    bool enabled() const { return ReadEnabledFlag(field(fEnabled)); }
    AutoAdjustState autoAdjust() const { return ReadAutoAdjustFlag(field(fAutoAdjust)); }
    bool showLastImage() const { return ReadShowLastImageFlag(field(fShowLastImage)); }
    bool isAdult() const;

    // Raise ConvertError "'%s' is not a valid time" on a bad field.
    TDateTime refreshRate() const { return ParseTimeText(field(fRefreshRate)); }
    TDateTime startTime() const { return ParseTimeText(field(fStartTime)); }
    TDateTime endTime() const { return ParseTimeText(field(fEndTime)); }
    // Empty reads as never; raises ConvertError on a bad text.
    TDateTime lastDownloadTime() const;
    TDateTime lastModified() const;

private:
    QString m_fields[CamFieldCount];
    int m_sourceCount = 0;
};

bool IsAdultCategory(const QString &category);

// A stored line without the blanks and control characters around it, as
// the list reads it: an old end-of-file mark alone makes a blank line.
QString TrimRecordLine(const QString &line);

// Typed text must never change a record's structure: no "||", no "|" at
// the end and no line break in any field.
bool IsSafeFieldText(const QString &text);
// In the user's language: "%1" is the typed text.
QString UnsafeFieldMessage();

// Cuts at each separator; an empty name between adjacent separators is kept,
// a trailing empty name is not.
QStringList SplitToList(const QString &text, QChar separator = QLatin1Char(','));

// For each name, whether it is among the selected ones (letter case aside);
// linear in both lists, so a store value of any size loads at once.
QList<bool> SelectedFlags(const QStringList &names, const QStringList &selected);

// No field of a webcam (name, URL, category, time) needs more than this; a
// longer one would be carried through every list, caption and save.
inline constexpr qsizetype MaxFieldChars = 4096;

// Lines with every "||"-separated field cut to MaxFieldChars; cutLines
// numbers from 1 the lines that were changed.
struct FieldCut {
    QStringList lines;
    QList<int> cutLines;
};
FieldCut CutLongFields(QStringList lines);
// Empty when nothing was cut.
QString LongFieldsMessage(const FieldCut &cut);

inline const QString DefaultCategories = QStringLiteral(
    "General,Adult,Animals,Bars & Restaurants,Beaches,Cities,Indoor,Outdoor,Personal,"
    "Satellite,Sites,Snow,Streets,Traffic,Weather");

} // namespace lumetta
