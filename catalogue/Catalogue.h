#pragma once
// The catalogue in memory: the records in catalogue order and what the list
// shows of them. Every editing decision lives here; the window only mirrors
// the items and asks the questions.
#include "catalogue/CamRecord.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace lumetta {

// Local file names in use, compared ignoring case: the records' names plus
// every name handed out since the last rebuild.
class LocalFileNames {
public:
    void clear() { m_names.clear(); }
    void add(const QString &name);
    bool contains(const QString &name) const;
    int size() const { return int(m_names.size()); }
    // In lower case, in no particular order.
    QStringList names() const { return QStringList(m_names.begin(), m_names.end()); }

private:
    QSet<QString> m_names;  // folded to lower case
};

// A local file name must stay inside the download folder.
bool IsSafeLocalFileName(const QString &name);

struct ListItem {
    QString text;  // the name, or the URL when the name is empty
    bool checked = false;
};

// Records, items, URLs, local names and counts change only through the
// operations below, so they are always in step.
class Catalogue {
public:
    // The records in catalogue order, one line each.
    const QStringList &CamData() const { return m_camData; }
    // Each record's image URL, compared with case.
    const QStringList &ImageUrlList() const { return m_imageUrls; }
    const LocalFileNames &LocalFileList() const { return m_localFiles; }
    int EnabledCount() const { return m_enabledCount; }
    int AdultCount() const { return m_adultCount; }

    // Takes these records and rebuilds everything else from them.
    void load(QStringList records);
    void clear() { load({}); }
    // Records joining at the end; local names handed out stay taken.
    void append(const QStringList &records);
    // A local file name handed out: taken until the next load.
    void reserveLocalFileName(const QString &name) { m_localFiles.add(name); }

    const QList<ListItem> &items() const { return m_items; }
    int count() const { return int(m_camData.size()); }

    // Ignoring case; except skips one index (the webcam being renamed).
    bool nameExists(const QString &name, int except = -1) const;
    // B + " " + k for the smallest free k, B being the name without a
    // trailing number.
    QString suggestName(const QString &name) const;

    // A new webcam, disabled (record, item and counts agree); returns its index.
    int add(const QString &name, const QString &category = QStringLiteral("General"));
    void remove(int index);
    // Up (-1) or down (+1); false when it would leave the list.
    bool move(int index, int delta);
    void setAllEnabled(bool enabled);
    void sortByCategory();
    void sortBySiteName();

    // The tick of one item changed by the user; keeps the counts and field 11.
    void setEnabled(int index, bool enabled);
    // Field 2 and the item text.
    void rename(int index, const QString &name);
    // Replaces a record from the editor; the item follows it.
    void replaceRecord(int index, const QString &line);

    // The first other webcam with exactly this URL, or -1.
    int duplicateUrl(const QString &url, int index) const;

    // Walks from the last record to the first; records ticked, named with a
    // leading "-" or blank, or active on or after the cutoff are kept, and so
    // is one whose last-active text cannot be read. decide() answers for each
    // candidate: Yes, No, YesToAll or Abort.
    enum class Decision { Yes, No, YesToAll, Abort };
    struct Candidate {
        int index;
        QString name;
        QString lastActive;
    };
    int deleteInactive(TDateTime cutoff, const std::function<Decision(const Candidate &)> &decide);

    QString itemText(int index) const;

private:
    void rebuild();
    void deriveFrom(const QString &line);
    void adjustCounts(int index, bool enabled, int sign);
    QStringList m_camData;
    QStringList m_imageUrls;
    LocalFileNames m_localFiles;
    int m_enabledCount = 0;
    int m_adultCount = 0;
    QList<ListItem> m_items;
};

// Where a remembered index goes when the record at removed is deleted: -1
// when it was that record.
int IndexAfterRemoval(int index, int removed);
// Where a remembered index goes when the record at from moves to to (the
// two swap places).
int IndexAfterMove(int index, int from, int to);

// The name questions of add and rename. ask(prompt, text) returns the
// answer, or nullopt when the dialog is cancelled.
using NameAsker = std::function<std::optional<QString>(const QString &prompt, const QString &text)>;
// Translated where asked; the English texts stay at hand for comparing.
inline constexpr char UnsafeNameText[] =
    QT_TRANSLATE_NOOP("Catalogue", "A name cannot contain \"||\" or a line break. Please enter another name");
inline constexpr char NameExistsText[] =
    QT_TRANSLATE_NOOP("Catalogue", "The name already exists. Would you like to use the suggested name?");
inline const QString UnsafeNamePrompt = QString::fromLatin1(UnsafeNameText);
inline const QString NameExistsPrompt = QString::fromLatin1(NameExistsText);

// Add: asks until a trimmed, non-empty, new name is given; nullopt on cancel.
std::optional<QString> AskNewCamName(const Catalogue &catalogue, const NameAsker &ask);
// Rename: the answer is taken as typed. A cancel keeps the text offered, so
// after a clash the suggestion wins; nullopt only when there is nothing to keep.
std::optional<QString> AskRenamedCam(const Catalogue &catalogue, int index, const NameAsker &ask);

} // namespace lumetta
