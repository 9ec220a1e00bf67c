#include "service/ListTools.h"

#include "catalogue/CatalogueFile.h"
#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/Subs.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "service/TfrmImport.h"
#include "service/WebcamList.h"

#include <QFile>
#include <QCoreApplication>

namespace lumetta {

namespace {

void RemoveIfExists(const QString &path)
{
    if (QFile::exists(path))
        QFile::remove(path);
}

} // namespace

QString LastUpdatedText(const QString &header)
{
    const QString value = GetHeaderValue(QStringLiteral("Last-Modified"), header.split(QStringLiteral("\r\n")));
    return value.isEmpty() ? QString() : QCoreApplication::translate("ListTools", "Last updated: %1").arg(value);
}

ListTools::ListTools(ListToolsHooks hooks) : m_hooks(std::move(hooks)) {}

ListTools::~ListTools() = default;

TfrmImport &ListTools::dialog()
{
    if (!m_dialog) {
        m_dialog = std::make_unique<TfrmImport>(m_hooks.importList, workingFile());
        m_dialog->OnImportSelected = [this](const QList<bool> &ticks) { ImportSelectedWebcams(ticks); };
    }
    return *m_dialog;
}

void ListTools::ImportWebcamList(const QString &url)
{
    const FetchResult fetched = m_hooks.fetch(url, workingFile(), 0);
    if (!fetched.ok) {
        m_hooks.dialogs.showMessage(QCoreApplication::translate("ListTools", "Could not download file"));
        return;
    }
    const QString lastUpdated = LastUpdatedText(fetched.header);
    m_hooks.importList = ReadListFile(workingFile());
    if (ListIsBlank(m_hooks.importList)) {
        m_hooks.dialogs.showMessage(QCoreApplication::translate("ListTools", "No webcams listed"));
        return;
    }
    dialog().showList(lastUpdated, true);
}

void ListTools::ImportSelectedWebcams(const QList<bool> &ticks)
{
    const MergeResult merged =
        MergeListLines({m_hooks.importList, ticks, m_hooks.camData(), m_hooks.categories(), TimeZoneBias()});
    if (!merged.newRecords.isEmpty())
        m_hooks.appendRecords(merged.newRecords);
    m_hooks.dialogs.beep();
    m_hooks.dialogs.showMessage(MergeReport(merged));
    if (const QString rejected = RejectedLinesMessage(merged); !rejected.isEmpty())
        m_hooks.dialogs.showMessage(rejected, MessageIcon::Warning);
}

bool ListTools::WebcamListed(const QString &imageUrl)
{
    const QString mainFile = m_hooks.appPath + QStringLiteral("temp1.txt");
    const QString adultFile = m_hooks.appPath + QStringLiteral("temp2.txt");
    const auto [mainUrl, adultUrl] = m_hooks.listUrls();
    try {
        (void)m_hooks.fetch(mainUrl, mainFile, 30);
        (void)m_hooks.fetch(adultUrl, adultFile, 30);
    } catch (const std::exception &) {
        m_hooks.dialogs.beep();
        m_hooks.dialogs.showMessage(SubmissionText(SubmissionListsFailedMessage));
    }
    // A list never written reads as empty.
    const QStringList lines = ReadListFile(mainFile) + ReadListFile(adultFile);
    RemoveIfExists(mainFile);
    RemoveIfExists(adultFile);
    return ListHasImageUrl(lines, imageUrl);
}

void ListTools::SubmitWebcam(const SubmissionSnapshot &s)
{
    const int exeSwitch = ReadSetting(Setting::ExeSwitch);
    if (const auto refusal = CheckSubmission(exeSwitch, s.hasSelection, s.lastModified, m_hooks.now())) {
        if (refusal->beep)
            m_hooks.dialogs.beep();
        m_hooks.dialogs.showMessage(refusal->message);
        return;
    }
    if (m_hooks.dialogs.ask(SubmissionText(SubmissionQuestion), QuestionKind::OkCancel,
                            SubmissionText(SubmissionQuestionTitle)) != DialogButton::Ok)
        return;
    if (WebcamListed(s.fields.imageUrl)) {
        m_hooks.dialogs.beep();
        m_hooks.dialogs.showMessage(SubmissionText(SubmissionListedMessage));
        return;
    }
    SubmissionFields fields = s.fields;
    fields.version = m_hooks.version;
    const QString url = m_hooks.submissionUrl + SubmissionQuery(fields, TimeZoneBias());
    const QString answerFile = m_hooks.appPath + QStringLiteral("temp.tmp");
    const FetchResult sent = m_hooks.fetch(url, answerFile, 30);
    if (sent.ok) {
        const QString body = ReadListFile(answerFile).join(QStringLiteral("\r\n"));
        const QString value =
            GetHeaderValue(QStringLiteral("X-EXE"), sent.header.split(QStringLiteral("\r\n")));
        if (const auto next = ExeSwitchFromHeader(value))
            WriteSetting(Setting::ExeSwitch, *next);
        m_hooks.dialogs.beep();
        m_hooks.dialogs.showMessage(body.contains(SubmissionMarker()) ? SubmissionText(SubmissionThanksMessage)
                                                                      : SubmissionText(SubmissionFailedMessage));
    } else {
        m_hooks.dialogs.showMessage(SubmissionText(SubmissionFailedMessage));
    }
    RemoveIfExists(answerFile);
}

void ListTools::ExportMasterLists(const QString &mainFile, const QString &adultFile)
{
    const MasterLists lists = BuildMasterLists(m_hooks.camData(), TimeZoneBias());
    if (!lists.error.isEmpty()) {
        m_hooks.dialogs.showMessage(lists.error, MessageIcon::Error);
        return;
    }
    std::optional<int> mainCount, adultCount;
    const auto write = [](const QString &path, const QStringList &lines) {
        const SaveResult saved = WriteFileAtomically(path, JoinTextLines(lines));
        if (!saved.ok)
            throw FileError(
                QCoreApplication::translate("ListTools", "Cannot create file \"%1\". %2").arg(path, saved.reason));
        return int(lines.size());
    };
    if (!mainFile.trimmed().isEmpty())
        mainCount = write(mainFile, lists.main);
    if (!adultFile.trimmed().isEmpty())
        adultCount = write(adultFile, lists.adult);
    m_hooks.dialogs.beep();
    m_hooks.dialogs.showMessage(ExportReport(mainCount, adultCount));
}

void ListTools::ImportSubmissions(const QString &submissionFile)
{
    if (!QFile::exists(submissionFile)) {
        m_hooks.dialogs.showMessage(QCoreApplication::translate("ListTools", "Nothing to do"));
        return;
    }
    if (!CopyFileAtomically(submissionFile, workingFile(), {}, ExistingLink::Replace))
        throw FileError(QCoreApplication::translate("ListTools", "Cannot create file \"%1\".").arg(workingFile()));
    m_hooks.importList = ReduceSubmissions(ReadListFile(workingFile()));
    dialog().showListKeepingDate(false);
}

void ListTools::DeleteSubmissions(const QString &submissionFile)
{
    if (m_hooks.dialogs.ask(SubmissionText(DeleteSubmissionsQuestion), QuestionKind::OkCancelWarning,
                            SubmissionText(DeleteSubmissionsTitle)) == DialogButton::Ok)
        RemoveIfExists(submissionFile);
}

} // namespace lumetta
