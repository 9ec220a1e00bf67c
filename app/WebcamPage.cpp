#include "app/WebcamPage.h"

#include "app/DownloadEngine.h"
#include "app/RunMode.h"
#include "app/RunState.h"
#include "app/SettingsTable.h"
#include "app/StartupFiles.h"
#include "catalogue/CamEditor.h"
#include "catalogue/CamRecord.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueFile.h"
#include "common/DateTime.h"
#include "common/Subs.h"
#include "download/ImageFetch.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "slideshow/SlideShow.h"
#include "ui_TfrmMain.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace lumetta {

namespace {

const char *const UnsafeLocalNameMessage = QT_TRANSLATE_NOOP(
    "TfrmMain",
    "\"%1\" cannot be a local filename: it must be a plain file name inside the webcam image "
    "directory, without \"/\", \"\\\", \"..\" or \"||\".\r\nThe previous name is kept.");

} // namespace

WebcamPage::WebcamPage(const PageContext &context, DownloadEngine &engine)
    : Page(context), m_engine(engine)
{
    connectEditor();
}

void WebcamPage::connectEditor()
{
    QListWidget *list = m_ui->SiteList;
    // Mouse and keyboard both move the selection; the editor follows either.
    on(list, &QListWidget::currentRowChanged, [this] {
        if (!m_mirroring)
            SiteListClick();
    });
    on(list, &QListWidget::itemChanged, [this](QListWidgetItem *item) { SiteListClickCheck(item); });

    auto changed = [this] { editorChanged(); };
    on(m_ui->cmbCategory, &QComboBox::currentIndexChanged, changed);
    for (QTimeEdit *time : {m_ui->dtStartTime, m_ui->dtEndTime, m_ui->dtRefreshRate})
        on(time, &QTimeEdit::timeChanged, changed);
    on(m_ui->chkAutoAdjust, &QCheckBox::clicked, changed);
    on(m_ui->chkShowLastImage, &QCheckBox::clicked, changed);
    on(m_ui->edtHomePage, &QLineEdit::editingFinished, changed);
    on(m_ui->edtLocalFilename, &QLineEdit::editingFinished, [this] { edtLocalFilenameExit(); });
    on(m_ui->ImageUrl, &QLineEdit::textChanged, [this] { ImageUrlChange(); });
    on(m_ui->ImageUrl, &QLineEdit::editingFinished, [this] { ImageUrlExit(); });
    on(m_ui->butReset, &QPushButton::clicked, [this] { butResetClick(); });
    on(m_ui->butHomepage, &QToolButton::clicked, [this] { butHomepageClick(); });
    on(m_ui->butPlay, &QToolButton::clicked, [this] { butPlayClick(); });
    on(m_ui->butStop, &QToolButton::clicked, [this] { butStopClick(); });
}

QString WebcamPage::editorRecord() const
{
    const int row = m_ui->SiteList->currentRow();
    const ListItem item = m_cat.items().value(row);
    return EditorRecord(editorFields(), item.text, item.checked);
}

void WebcamPage::changeListQuietly(const std::function<void()> &change)
{
    const QScopedValueRollback mirroring(m_mirroring, true);
    const QSignalBlocker block(m_ui->SiteList);
    change();
}

void WebcamPage::RefreshCountDependents()
{
    const CountStates c = ComputeCountStates(m_cat.EnabledCount(), m_cat.AdultCount(), m_run.EnableAA,
                                             m_ui->CheckDisabledCams->isChecked());
    m_ui->butSlideshow->setEnabled(c.slideshowEnabled);
    // The counts may stop the show, never start it: only the user does.
    if (!c.ssTimerEnabled)
        m_run.SSTimer.setEnabled(false);
    (m_run.ScreenSaverMode ? m_ui->EnableSSAdultAds : m_ui->EnableAdultAds)->setVisible(c.adultOffersVisible);
}

QStringList WebcamPage::loadCatalogueFile()
{
    // Blank lines are no webcams; leaving them out keeps list and records in step.
    QStringList lines;
    for (const QString &line : LoadCatalogue(m_run.DataFileName))
        if (!TrimRecordLine(line).isEmpty())
            lines << line;
    // An absurd field is cut once, said once, and saved cut.
    FieldCut cut = CutLongFields(std::move(lines));
    if (!cut.cutLines.isEmpty()) {
        if (TrySaveCatalogue(m_run.DataFileName, cut.lines) && !m_run.ScreenSaverMode)
            m_dialogs.showMessage(LongFieldsMessage(cut), MessageIcon::Warning);
    }
    return std::move(cut.lines);
}

// Operations other than the editor's write-back report a failed save.
void WebcamPage::saveCatalogue()
{
    const SaveResult saved = m_run.saver.saveEdit();
    if (!saved.ok)
        RaiseCannotCreate(m_run.DataFileName, saved.reason);
}

QString WebcamPage::makeLocalName(const QString &url)
{
    // Asked of the set: a copy of 100,000 names per editor load would cost
    // more than the load.
    const LocalFileNames &taken = m_cat.LocalFileList();
    const QString name = MakeLocalFileName(url, m_ui->edtDownloadDir->text(),
                                           [&taken](const QString &n) { return taken.contains(n); });
    m_cat.reserveLocalFileName(name);
    return name;
}

void WebcamPage::mirrorItems()
{
    QListWidget *list = m_ui->SiteList;
    const QScopedValueRollback mirroring(m_mirroring, true);
    const QSignalBlocker block(list);
    list->setUpdatesEnabled(false);
    list->clear();
    // Made whole before they join the list: an item given its text inside
    // the list is looked up by a scan, which makes 100,000 items take seconds.
    for (const ListItem &entry : m_cat.items()) {
        auto *item = new QListWidgetItem(entry.text);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
        list->addItem(item);
    }
    list->setUpdatesEnabled(true);
    refitListExtent();
}

void WebcamPage::mirrorItem(int row)
{
    QListWidgetItem *item = m_ui->SiteList->item(row);
    if (!item || row >= m_cat.count())
        return;
    const QScopedValueRollback mirroring(m_mirroring, true);
    const QSignalBlocker block(m_ui->SiteList);
    const ListItem &entry = m_cat.items()[row];
    item->setText(entry.text);
    item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
}

void WebcamPage::refitListExtent()
{
    QListWidget *list = m_ui->SiteList;
    const QFontMetrics metrics(list->font());
    QList<QString> texts;
    texts.reserve(m_cat.items().size());
    for (const ListItem &entry : m_cat.items())
        texts << entry.text;
    const bool wide = AnyTextWiderThan(
        texts, list->viewport()->width() - 20, [&metrics](QChar c) { return metrics.horizontalAdvance(c); },
        [&metrics](const QString &text) { return metrics.horizontalAdvance(text); });
    list->setHorizontalScrollBarPolicy(wide ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void WebcamPage::selectRow(int row)
{
    const QScopedValueRollback mirroring(m_mirroring, true);
    const QSignalBlocker block(m_ui->SiteList);
    m_ui->SiteList->setCurrentRow(row >= 0 && row < m_cat.count() ? row : -1);
}

void WebcamPage::updateEditingControls()
{
    const bool any = m_cat.count() > 0;
    for (QWidget *button : {static_cast<QWidget *>(m_ui->butDelete), static_cast<QWidget *>(m_ui->butRename),
                            static_cast<QWidget *>(m_ui->butUp), static_cast<QWidget *>(m_ui->butDown)})
        button->setEnabled(any);
    // An editor that shows no record takes no typing that could not be kept.
    m_ui->grpEditor->setEnabled(m_editorIndex >= 0);
}

void WebcamPage::showCounters()
{
    m_ui->StatusBar->showMessage(tr("Webcams - Current: %1  Enabled: %2  Total: %3")
                                     .arg(m_ui->SiteList->currentRow() + 1)
                                     .arg(m_cat.EnabledCount())
                                     .arg(m_cat.count()));
}

void WebcamPage::RebuildSiteList()
{
    mirrorItems();
    selectRow(-1);
    m_editorIndex = -1;
    clearEditor();
    updateEditingControls();
    RefreshCountDependents();
}

void WebcamPage::SiteListClick()
{
    if (m_cat.count() == 0 || m_ui->SiteList->count() == 0)
        return;
    commitEditor();
    const int current = m_ui->SiteList->currentRow();
    if (current < 0 || current >= m_cat.count())
        selectRow(0);
    loadEditor(m_ui->SiteList->currentRow());
    updateEditingControls();
    showCounters();
}

// Loading runs the check boxes' handlers when their state changes, so the
// record is written back as shown; that one write-back comes after the
// editor is complete, and a generated local file name is stored at once.
void WebcamPage::loadEditor(int row)
{
    m_editorIndex = -1;
    const Qt::CheckState adjustBefore = m_ui->chkAutoAdjust->checkState();
    const bool showLastBefore = m_ui->chkShowLastImage->isChecked();
    bool generated = false;
    {
        const QScopedValueRollback filling(m_fillingEditor, true);
        const EditorFields f = LoadEditorFields(m_cat.CamData()[row], [this, &generated](const QString &url) {
            generated = true;
            return makeLocalName(url);
        });
        m_ui->cmbCategory->setCurrentIndex(m_ui->cmbCategory->findText(f.category, Qt::MatchFixedString));
        m_ui->ImageUrl->setText(f.imageUrl);
        m_ui->edtHomePage->setText(f.homePage);
        m_ui->dtRefreshRate->setTime(TimeFromValue(f.refreshRate));
        m_ui->dtStartTime->setTime(TimeFromValue(f.startTime));
        m_ui->dtEndTime->setTime(TimeFromValue(f.endTime));
        m_ui->edtLocalFilename->setText(f.localFilename);
        m_shownLocalName = f.localFilename;
        m_ui->edtLastDownloadTime->setText(f.lastDownloadTime);
        m_ui->edtLastModified->setText(f.lastModified);
        m_ui->chkAutoAdjust->setCheckState(f.autoAdjust == AutoAdjustState::Grayed ? Qt::PartiallyChecked
                                           : f.autoAdjust == AutoAdjustState::On   ? Qt::Checked
                                                                                   : Qt::Unchecked);
        m_ui->chkShowLastImage->setChecked(f.showLastImage);
        for (QLineEdit *edit : {m_ui->ImageUrl, m_ui->edtHomePage, m_ui->edtLocalFilename})
            edit->setModified(false);
    }
    // Only a complete load names the record that write-backs may replace.
    m_editorIndex = row;
    if (generated || m_ui->chkAutoAdjust->checkState() != adjustBefore
        || m_ui->chkShowLastImage->isChecked() != showLastBefore)
        writeEditorBack(row);
}

void WebcamPage::clearEditor()
{
    const QScopedValueRollback filling(m_fillingEditor, true);
    m_ui->cmbCategory->setCurrentIndex(-1);
    for (QLineEdit *edit : {m_ui->ImageUrl, m_ui->edtHomePage, m_ui->edtLocalFilename,
                            m_ui->edtLastDownloadTime, m_ui->edtLastModified})
        edit->clear();
    for (QTimeEdit *time : {m_ui->dtRefreshRate, m_ui->dtStartTime, m_ui->dtEndTime})
        time->setTime(QTime(0, 0));
    m_ui->chkAutoAdjust->setCheckState(Qt::Unchecked);
    m_ui->chkShowLastImage->setChecked(false);
    m_shownLocalName.clear();
}

bool WebcamPage::writeEditorBack(int row)
{
    if (m_fillingEditor || row < 0 || row >= m_cat.count() || row != m_editorIndex)
        return false;
    refuseUnsafeText(m_ui->ImageUrl, fImageUrl);
    refuseUnsafeText(m_ui->edtHomePage, fHomePage);
    const EditorFields f = editorFields();
    const ListItem &item = m_cat.items()[row];
    m_cat.replaceRecord(row, EditorRecord(f, item.text, item.checked));
    mirrorItem(row);
    for (QLineEdit *edit : {m_ui->ImageUrl, m_ui->edtHomePage, m_ui->edtLocalFilename})
        edit->setModified(false);
    // The change stays in memory and reaches the file with the next save.
    (void)m_run.saver.saveEdit();
    return true;
}

// The record the editor shows, as its controls stand.
EditorFields WebcamPage::editorFields() const
{
    EditorFields f;
    f.category = m_ui->cmbCategory->currentIndex() >= 0 ? m_ui->cmbCategory->currentText() : QString();
    f.imageUrl = m_ui->ImageUrl->text();
    f.homePage = m_ui->edtHomePage->text();
    f.refreshRate = ValueFromTime(m_ui->dtRefreshRate->time());
    f.startTime = ValueFromTime(m_ui->dtStartTime->time());
    f.endTime = ValueFromTime(m_ui->dtEndTime->time());
    const QString local = m_ui->edtLocalFilename->text();
    f.localFilename = IsSafeLocalFileName(local) ? local : m_shownLocalName;
    f.lastDownloadTime = m_ui->edtLastDownloadTime->text();
    f.lastModified = m_ui->edtLastModified->text();
    const Qt::CheckState adjust = m_ui->chkAutoAdjust->checkState();
    f.autoAdjust = adjust == Qt::PartiallyChecked ? AutoAdjustState::Grayed
                   : adjust == Qt::Checked        ? AutoAdjustState::On
                                                  : AutoAdjustState::Off;
    f.showLastImage = m_ui->chkShowLastImage->isChecked();
    return f;
}

// Text that would change the record's structure goes back to what the
// record holds, with a message; true when it was refused.
bool WebcamPage::refuseUnsafeText(QLineEdit *edit, int field)
{
    const QString typed = edit->text();
    if (IsSafeFieldText(typed))
        return false;
    {
        const QScopedValueRollback filling(m_fillingEditor, true);
        const CamRecord record = CamRecord::fromLine(m_cat.CamData().value(m_editorIndex));
        edit->setText(record.field(field));
        edit->setModified(false);
        // Typing the URL showed the never date; the kept URL keeps its date.
        if (field == fImageUrl) {
            const QString lastModified = record.field(fLastModified);
            m_ui->edtLastModified->setText(lastModified.isEmpty() ? FormatDateTimeText(NeverDate()) : lastModified);
        }
    }
    const QScopedValueRollback exiting(m_inEditorExit, true);
    m_dialogs.showMessage(UnsafeFieldMessage().arg(typed), MessageIcon::Warning);
    return true;
}

void WebcamPage::SaveCurrentCam()
{
    writeEditorBack(m_ui->SiteList->currentRow());
}

// Typing not yet confirmed by leaving its box goes to the record the editor
// shows before anything else changes the catalogue or the selection.
void WebcamPage::commitEditor()
{
    if (m_editorIndex < 0 || m_fillingEditor)
        return;
    if (m_ui->ImageUrl->isModified() || m_ui->edtHomePage->isModified() || m_ui->edtLocalFilename->isModified())
        writeEditorBack(m_editorIndex);
}

void WebcamPage::editorChanged()
{
    if (!m_fillingEditor)
        SaveCurrentCam();
}

void WebcamPage::SiteListClickCheck(QListWidgetItem *item)
{
    if (m_mirroring || !item)
        return;
    const int row = m_ui->SiteList->row(item);
    if (row < 0 || row >= m_cat.count())
        return;
    const bool ticked = item->checkState() == Qt::Checked;
    if (ticked == m_cat.items()[row].checked)
        return;  // the text changed, not the tick
    if (m_ui->SiteList->currentRow() != row) {
        commitEditor();
        selectRow(row);
    }
    SiteListClick();
    m_cat.setEnabled(row, ticked);
    RefreshCountDependents();
    SiteListClick();
    if (!writeEditorBack(row))
        (void)m_run.saver.saveEdit();
}

// Leaving a box acts only on the record the editor was loaded from, and not
// while the editor is being filled or another exit is running.
bool WebcamPage::editorExitApplies(int row) const
{
    return !m_inEditorExit && !m_fillingEditor && row >= 0 && row == m_editorIndex;
}

void WebcamPage::ImageUrlChange()
{
    if (!m_fillingEditor)
        m_ui->edtLastModified->setText(FormatDateTimeText(NeverDate()));
}

void WebcamPage::ImageUrlExit()
{
    const int row = m_ui->SiteList->currentRow();
    if (!editorExitApplies(row))
        return;
    if (refuseUnsafeText(m_ui->ImageUrl, fImageUrl))
        return;
    const QScopedValueRollback exiting(m_inEditorExit, true);
    const QString url = m_ui->ImageUrl->text();
    // A cleared URL is saved too: clearing it was the user's edit.
    if (!url.trimmed().isEmpty()) {
        const int other = m_cat.duplicateUrl(url, row);
        if (other >= 0)
            m_dialogs.showMessage(tr("This webcam already exists (%1 - %2)")
                                      .arg(other + 1)
                                      .arg(m_cat.itemText(other)));
        if (m_ui->edtLocalFilename->text().isEmpty()) {
            m_shownLocalName = makeLocalName(url);
            m_ui->edtLocalFilename->setText(m_shownLocalName);
        }
    }
    SaveCurrentCam();
}

void WebcamPage::edtLocalFilenameExit()
{
    const int row = m_ui->SiteList->currentRow();
    if (!editorExitApplies(row))
        return;
    const QScopedValueRollback exiting(m_inEditorExit, true);
    const QString name = m_ui->edtLocalFilename->text();
    if (!IsSafeLocalFileName(name)) {
        // The image is written under this name: it must stay in the folder.
        m_ui->edtLocalFilename->setText(m_shownLocalName);
        m_dialogs.showMessage(tr(UnsafeLocalNameMessage).arg(name), MessageIcon::Warning);
        return;
    }
    m_shownLocalName = name;
    SaveCurrentCam();
}

void WebcamPage::butResetClick()
{
    m_ui->edtLastDownloadTime->setText(FormatDateTimeText(NeverDate()));
    SaveCurrentCam();
}

void WebcamPage::butHomepageClick()
{
    if (!OpenWebLink(m_shell, m_ui->edtHomePage->text()))
        m_dialogs.showMessage(tr("Could not launch URL"));
}

// The list and the counters follow a record the slide show rewrote; the
// editor is reloaded only when it shows that record, so no value of the
// downloaded webcam ever reaches another one.
void WebcamPage::slideShowChangedRecord(int index)
{
    mirrorItem(index);
    RefreshCountDependents();
    if (index == m_editorIndex)
        SiteListClick();
    else
        showCounters();
}

void WebcamPage::fetchRunning(bool running)
{
    m_ui->butPlay->setEnabled(!running && !m_run.state().PlayMode);
}

void WebcamPage::butPlayClick()
{
    const int row = m_ui->SiteList->currentRow();
    if (!m_engine.slideShow() || row < 0)
        return;
    commitEditor();
    m_ui->butPlay->setEnabled(false);
    m_ui->butStop->setEnabled(true);
    m_ui->SiteList->setEnabled(false);
    m_engine.slideShow()->startPlay(row, WithTrailingSlash(m_ui->edtDownloadDir->text()) + m_ui->edtLocalFilename->text());
}

void WebcamPage::butStopClick()
{
    if (SlideShow *show = m_engine.slideShow())
        show->stopPlay();
    m_ui->butPlay->setEnabled(!m_engine.fetchRunning());
    m_ui->butStop->setEnabled(false);
    m_ui->SiteList->setEnabled(true);
}

// The list is built with the records, so whatever fails later in the
// start-up, the user never sees a list that disagrees with them.
void WebcamPage::loadCatalogueAndList()
{
    m_run.DataFileName = m_run.AppPath + DataFileBaseName;
    m_run.BackupFileName = m_run.AppPath + BackupFileBaseName;
    // Beside another run's show, the catalogue is read from a copy: that
    // run stays its one writer, whatever this one saves.
    if (m_run.ViewOnly) {
        m_viewOnlyFiles = std::make_unique<QTemporaryDir>();
        const QString copy = m_viewOnlyFiles->filePath(DataFileBaseName);
        QFile::copy(m_run.DataFileName, copy);
        m_run.DataFileName = copy;
        m_run.BackupFileName = m_viewOnlyFiles->filePath(BackupFileBaseName);
    }
    CreateCatalogueIfMissing(m_run.DataFileName);
    m_cat.load(loadCatalogueFile());
    RebuildSiteList();
}

void WebcamPage::selectStartingCam()
{
    const int selectedCam = ReadSetting(Setting::SelectedCam);
    const int lastCam = m_run.AdminMode ? ReadSetting(Setting::LastCamAtStartUp) : 0;
    if (m_cat.count() == 0)
        return;
    selectRow(StartingCamRow(m_run.AdminMode, selectedCam, lastCam, m_cat.count()));
    SiteListClick();
}

} // namespace lumetta
