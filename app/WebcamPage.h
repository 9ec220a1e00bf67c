#pragma once
// The webcam page's list and editor. The list mirrors the catalogue model;
// the editor remembers which record it was loaded from and writes back into
// that record only.
#include "app/PageContext.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QLineEdit;
class QListWidgetItem;

namespace lumetta {

class DownloadEngine;
struct EditorFields;

class WebcamPage : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    WebcamPage(const PageContext &context, DownloadEngine &engine);

    // The start-up steps this page does, in FormCreate's order.
    void loadCatalogueAndList();
    void selectStartingCam();

    void RebuildSiteList();
    void SiteListClick();
    void SaveCurrentCam();
    void SiteListClickCheck(QListWidgetItem *item);
    void RefreshCountDependents();

    // The record the editor shows, or -1 while it shows none.
    int editorIndex() const { return m_editorIndex; }
    void setEditorIndex(int index) { m_editorIndex = index; }
    // The record the editor shows, as its controls stand, in the file's form.
    QString editorRecord() const;
    // The list and the counters follow a record the slide show rewrote.
    void slideShowChangedRecord(int index);
    // Play waits while a webcam's fetch runs: its fetch would be refused.
    void fetchRunning(bool running);

    // What the catalogue commands build on.
    void commitEditor();
    bool writeEditorBack(int row);
    void clearEditor();
    void selectRow(int row);
    void mirrorItem(int row);
    void refitListExtent();
    void showCounters();
    void updateEditingControls();
    void saveCatalogue();
    QStringList loadCatalogueFile();
    // Changes the list's items without running the list's handlers.
    void changeListQuietly(const std::function<void()> &change);

private:
    void connectEditor();
    void loadEditor(int row);
    EditorFields editorFields() const;
    bool refuseUnsafeText(QLineEdit *edit, int field);
    bool editorExitApplies(int row) const;
    void mirrorItems();
    QString makeLocalName(const QString &url);
    void editorChanged();
    void ImageUrlChange();
    void ImageUrlExit();
    void edtLocalFilenameExit();
    void butResetClick();
    void butHomepageClick();
    void butPlayClick();
    void butStopClick();

    DownloadEngine &m_engine;
    std::unique_ptr<QTemporaryDir> m_viewOnlyFiles;  // the copies a view-only run writes
    int m_editorIndex = -1;      // the record the editor was loaded from
    bool m_fillingEditor = false;
    bool m_mirroring = false;    // the list follows the model; no handlers
    bool m_inEditorExit = false; // a message box must not re-enter a leave handler
    QString m_shownLocalName;    // the last accepted local file name
};

} // namespace lumetta
