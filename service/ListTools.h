#pragma once
// The administration tools of the main window: download a master list into
// the list dialog and merge from it, submit a webcam, export the master
// lists, import and delete the collected submissions. The window hands in
// what it owns through ListToolsHooks and keeps only the wiring.
#include "download/ImageFetch.h"
#include "service/Submission.h"

#include <QStringList>
#include <functional>
#include <utility>
#include <memory>

namespace lumetta {

class Dialogs;
class TfrmImport;

struct ListToolsHooks {
    Dialogs &dialogs;
    QString appPath;  // ends with our path separator
    QStringList &importList;
    std::function<FetchResult(const QString &url, const QString &file, int timeOutSeconds)> fetch = nullptr;
    std::function<QStringList()> categories = nullptr;  // the editor's category list
    std::function<QStringList()> camData = nullptr;
    // The new records join the catalogue, the file is saved and the list rebuilt.
    std::function<void(const QStringList &records)> appendRecords = nullptr;
    std::function<TDateTime()> now = nullptr;
    QString version = {};
    QString submissionUrl = {};  // the script's address, without the query
    // The main and adult list addresses as the store holds them now.
    std::function<std::pair<QString, QString>()> listUrls = nullptr;
};

// The editor and the list as they stand when a submission starts.
struct SubmissionSnapshot {
    bool hasSelection = false;  // a webcam and a category selected
    QString lastModified;
    SubmissionFields fields;
};

class ListTools {
public:
    explicit ListTools(ListToolsHooks hooks);
    ~ListTools();

    void ImportWebcamList(const QString &url);
    void ImportSelectedWebcams(const QList<bool> &ticks);

    void SubmitWebcam(const SubmissionSnapshot &snapshot);
    bool WebcamListed(const QString &imageUrl);

    void ExportMasterLists(const QString &mainFile, const QString &adultFile);
    void ImportSubmissions(const QString &submissionFile);
    void DeleteSubmissions(const QString &submissionFile);

    TfrmImport &dialog();
    QString workingFile() const { return m_hooks.appPath + QStringLiteral("temp.txt"); }

private:
    ListToolsHooks m_hooks;
    std::unique_ptr<TfrmImport> m_dialog;
};

// The header's date as the dialog shows it; empty without one.
QString LastUpdatedText(const QString &header);

} // namespace lumetta
