#pragma once
// The health page: one row per webcam with what the show last saw of it,
// a filter for the ones in trouble, and buttons to retry or re-enable the
// selected ones. The rows come from DescribeWebcam; this class only shows
// them.
#include "app/PageContext.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace lumetta {

class DownloadEngine;
class WebcamPage;

class HealthPage : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    HealthPage(const PageContext &context, WebcamPage &webcams, DownloadEngine &engine);

    QWidget *page() const { return m_page; }
    // Fills the rows again; the page calls it when shown.
    void refresh();
    // Retry and Re-enable wait while a webcam's fetch runs: a second fetch
    // would be refused, and the running one rewrites its record as it read
    // it before a re-enable.
    void fetchRunning(bool running);

private:
    QList<int> selectedWebcams() const;
    void retrySelected();
    void reEnableSelected();

    WebcamPage &m_webcams;
    DownloadEngine &m_engine;
    QWidget *m_page;
    QCheckBox *m_onlyProblems;
    QPushButton *m_retry;
    QPushButton *m_reEnable;
    QLabel *m_limit;  // a limit that kept history out
    QTableView *m_table;
    QStandardItemModel *m_model;
    QSortFilterProxyModel *m_rows;
};

} // namespace lumetta
