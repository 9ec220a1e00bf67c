#include "catalogue/Catalogue.h"

#include "catalogue/CamEditor.h"
#include "common/Subs.h"

#include <QCollator>
#include <QCoreApplication>
#include <algorithm>

namespace lumetta {

void LocalFileNames::add(const QString &name)
{
    if (!name.isEmpty())
        m_names.insert(name.toLower());
}

bool LocalFileNames::contains(const QString &name) const
{
    return m_names.contains(name.toLower());
}

bool IsSafeLocalFileName(const QString &name)
{
    if (name.isEmpty())
        return true;  // empty means "not chosen yet"
    if (name == QLatin1String(".") || name == QLatin1String("..") || !IsSafeFieldText(name))
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

namespace {

QString ItemTextOf(const CamRecord &r)
{
    return r.siteName().isEmpty() ? r.imageUrl() : r.siteName();
}

// Locale-aware and ignoring case, like the list the user reads.
void SortLines(QStringList &lines, const std::function<QString(const QString &)> &key)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(lines.size());
    for (const QString &line : lines)
        keyed.emplace_back(key(line), line);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [&](const auto &a, const auto &b) { return collator.compare(a.first, b.first) < 0; });
    for (qsizetype i = 0; i < lines.size(); ++i)
        lines[i] = keyed[size_t(i)].second;
}

} // namespace

void Catalogue::load(QStringList records)
{
    m_camData = std::move(records);
    rebuild();
}

void Catalogue::rebuild()
{
    m_items.clear();
    m_imageUrls.clear();
    m_localFiles.clear();
    m_enabledCount = 0;
    m_adultCount = 0;
    m_items.reserve(m_camData.size());
    m_imageUrls.reserve(m_camData.size());
    for (const QString &line : std::as_const(m_camData))
        deriveFrom(line);
}

void Catalogue::deriveFrom(const QString &line)
{
    const CamRecord r = CamRecord::fromLine(TrimRecordLine(line));
    ListItem item{ItemTextOf(r), r.enabled()};
    m_items.append(item);
    m_imageUrls.append(r.imageUrl());
    m_localFiles.add(r.localFilename());
    if (item.checked) {
        ++m_enabledCount;
        if (r.isAdult())
            ++m_adultCount;
    }
}

void Catalogue::append(const QStringList &records)
{
    m_camData.reserve(m_camData.size() + records.size());
    for (const QString &line : records) {
        m_camData.append(line);
        deriveFrom(line);
    }
}

QString Catalogue::itemText(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items[index].text : QString();
}

bool Catalogue::nameExists(const QString &name, int except) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (i != except && m_items[i].text.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString Catalogue::suggestName(const QString &name) const
{
    QString base = name;
    const qsizetype blank = name.lastIndexOf(QLatin1Char(' '));
    if (blank >= 0 && IsNumber(name.mid(blank + 1)))
        base = name.left(blank);
    for (int k = 1;; ++k) {
        const QString candidate = base + QLatin1Char(' ') + QString::number(k);
        if (!nameExists(candidate))
            return candidate;
    }
}

int Catalogue::add(const QString &name, const QString &category)
{
    CamRecord r;
    r.setField(fCategory, category);
    r.setField(fSiteName, name);
    r.setField(fRefreshRate, FormatTimeText(NewCamRefreshRate));
    r.setField(fStartTime, FormatTimeText(NewCamStartTime));
    r.setField(fEndTime, FormatTimeText(NewCamEndTime));
    r.setField(fLastDownloadTime, FormatDateTimeText(NeverDate()));
    r.setField(fLastModified, FormatDateTimeText(NeverDate()));
    // Unticked until it has a URL worth fetching; the user ticks it.
    r.setField(fEnabled, FlagText(false));
    r.setField(fAutoAdjust, AutoAdjustText(AutoAdjustState::On));
    r.setField(fShowLastImage, FlagText(false));
    m_camData.append(r.toLine());
    m_imageUrls.append(QString());
    m_items.append(ListItem{name, false});
    return count() - 1;
}

void Catalogue::adjustCounts(int index, bool enabled, int sign)
{
    if (!enabled)
        return;
    m_enabledCount += sign;
    if (CamRecord::fromLine(TrimRecordLine(m_camData[index])).isAdult())
        m_adultCount += sign;
}

void Catalogue::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    adjustCounts(index, m_items[index].checked, -1);
    m_camData.removeAt(index);
    m_items.removeAt(index);
    if (index < m_imageUrls.size())
        m_imageUrls.removeAt(index);
    // The name stays taken until the next rebuild: an image file of that
    // name may still be in the folder.
}

bool Catalogue::move(int index, int delta)
{
    const int to = index + delta;
    if (index < 0 || index >= count() || to < 0 || to >= count())
        return false;
    m_camData.move(index, to);
    m_items.move(index, to);
    if (index < m_imageUrls.size() && to < m_imageUrls.size())
        m_imageUrls.move(index, to);
    return true;
}

void Catalogue::setAllEnabled(bool enabled)
{
    for (QString &line : m_camData) {
        const SplitResult f = SplitFields(line, FieldSeparator);
        if (f.count < fEnabled)
            continue;  // too short to carry the flag: left as it is
        QStringList fields = f.held;
        fields[fEnabled - 1] = FlagText(enabled);
        if (f.count > SplitResult::MaxFields)
            continue;  // cannot rejoin what was not held
        line = fields.join(FieldSeparator);
    }
    rebuild();
}

void Catalogue::sortByCategory()
{
    SortLines(m_camData, [](const QString &line) { return line; });
    rebuild();
}

void Catalogue::sortBySiteName()
{
    SortLines(m_camData, [](const QString &line) {
        return SplitFields(line, FieldSeparator).field(fSiteName) + QLatin1Char('\t') + line;
    });
    rebuild();
}

void Catalogue::setEnabled(int index, bool enabled)
{
    if (index < 0 || index >= count() || m_items[index].checked == enabled)
        return;
    m_items[index].checked = enabled;
    adjustCounts(index, true, enabled ? +1 : -1);
    CamRecord r = CamRecord::fromLine(m_camData[index]);
    r.setField(fEnabled, FlagText(enabled));
    m_camData[index] = r.toLine();
}

void Catalogue::rename(int index, const QString &name)
{
    if (index < 0 || index >= count())
        return;
    CamRecord r = CamRecord::fromLine(m_camData[index]);
    r.setField(fSiteName, name);
    m_camData[index] = r.toLine();
    m_items[index].text = name.isEmpty() ? r.imageUrl() : name;
}

void Catalogue::replaceRecord(int index, const QString &line)
{
    if (index < 0 || index >= count())
        return;
    const bool wasChecked = m_items[index].checked;
    adjustCounts(index, wasChecked, -1);
    m_camData[index] = line;
    const CamRecord r = CamRecord::fromLine(line);
    m_items[index] = ListItem{ItemTextOf(r), r.enabled()};
    if (index < m_imageUrls.size())
        m_imageUrls[index] = r.imageUrl();
    m_localFiles.add(r.localFilename());
    adjustCounts(index, r.enabled(), +1);
}

int Catalogue::duplicateUrl(const QString &url, int index) const
{
    for (int j = 0; j < m_imageUrls.size(); ++j)
        if (j != index && m_imageUrls[j] == url)
            return j;
    return -1;
}

int Catalogue::deleteInactive(TDateTime cutoff, const std::function<Decision(const Candidate &)> &decide)
{
    bool askEach = true;
    int deleted = 0;
    for (int i = count() - 1; i >= 0; --i) {
        const SplitResult f = SplitFields(m_camData[i], FieldSeparator);
        const QString name = f.field(fSiteName);
        if (f.field(fEnabled) == QLatin1String("1") || name.startsWith(QLatin1Char('-'))
            || name.startsWith(QLatin1Char(' ')))
            continue;
        const QString lastActive = f.field(fLastModified);
        const auto when = TryParseDateTimeText(lastActive);
        if (!when || !(cutoff > *when))
            continue;
        if (askEach) {
            const Decision d = decide(Candidate{i, name, lastActive});
            if (d == Decision::Abort)
                break;
            if (d == Decision::No)
                continue;
            if (d == Decision::YesToAll)
                askEach = false;
        }
        m_camData.removeAt(i);
        ++deleted;
    }
    rebuild();
    return deleted;
}

int IndexAfterRemoval(int index, int removed)
{
    if (index == removed)
        return -1;
    return index > removed ? index - 1 : index;
}

int IndexAfterMove(int index, int from, int to)
{
    if (index == from)
        return to;
    return index == to ? from : index;
}

std::optional<QString> AskNewCamName(const Catalogue &catalogue, const NameAsker &ask)
{
    QString prompt = QCoreApplication::translate("Catalogue", "Site name");
    QString text;
    for (;;) {
        const std::optional<QString> answer = ask(prompt, text);
        if (!answer)
            return std::nullopt;
        const QString name = answer->trimmed();
        if (name.isEmpty()) {
            prompt = QCoreApplication::translate("Catalogue", "Please enter a name for Site");
            text.clear();
        } else if (!IsSafeFieldText(name)) {
            prompt = QCoreApplication::translate("Catalogue", UnsafeNameText);
            text = name;
        } else if (catalogue.nameExists(name)) {
            prompt = QCoreApplication::translate("Catalogue", NameExistsText);
            text = catalogue.suggestName(name);
        } else {
            return name;
        }
    }
}

std::optional<QString> AskRenamedCam(const Catalogue &catalogue, int index, const NameAsker &ask)
{
    QString prompt = QCoreApplication::translate("Catalogue", "Rename Site");
    QString text = catalogue.itemText(index);
    for (;;) {
        const std::optional<QString> answer = ask(prompt, text);
        // A cancelled box hands back what it showed; an empty one has
        // nothing to keep and would only ask again.
        if (!answer && text.isEmpty())
            return std::nullopt;
        const QString name = answer.value_or(text);
        if (name.isEmpty()) {
            prompt = QCoreApplication::translate("Catalogue", "Please enter new name for Site");
        } else if (!IsSafeFieldText(name)) {
            if (!answer)
                return std::nullopt;  // nothing safe to keep
            // The current name is offered again, so a cancel keeps it.
            prompt = QCoreApplication::translate("Catalogue", UnsafeNameText);
            text = catalogue.itemText(index);
        } else if (catalogue.nameExists(name, index)) {
            prompt = QCoreApplication::translate("Catalogue", NameExistsText);
            text = catalogue.suggestName(name);
        } else {
            return name;
        }
    }
}

} // namespace lumetta
