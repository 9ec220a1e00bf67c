#pragma once
// The list dialog: one checkable item per line of the import list, a
// counter of ticks in the status bar and a filter over the shown texts.
// The merge itself is the caller's (OnImportSelected).
#include <QList>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QStatusBar;

namespace lumetta {

class TfrmImport : public QWidget {
    Q_OBJECT
public:
    // importList stays index-parallel to the items; workingFile is the copy
    // the filter reloads and closing deletes.
    TfrmImport(QStringList &importList, QString workingFile, QWidget *parent = nullptr);
    // An open dialog takes its working file with it when the program ends.
    ~TfrmImport() override;

    // Fills the items from the import list and shows the dialog.
    void showList(const QString &lastUpdated, bool filterEnabled);
    // The submissions import keeps the date shown.
    void showListKeepingDate(bool filterEnabled);

    QList<bool> ticks() const;
    int SelectedCount = 0;

    std::function<void(const QList<bool> &ticks)> OnImportSelected;

    void lstImportClickCheck(QListWidgetItem *item);
    void mnuSelectAllClick();
    void mnuDeselectAllClick();
    void edtFilterChange(const QString &text);
    void butImportClick();
    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fillItems();
    void fillItems(const QStringList &texts, const QList<bool> &ticked);
    void setAllTicks(bool ticked);
    void showCounter();

    QStringList &m_importList;
    QString m_workingFile;
    QString m_prevFilter;
    bool m_filling = false;
    QListWidget *m_list;
    QLineEdit *m_filter;
    QLabel *m_filterLabel;
    QLabel *m_lastUpdated;
    QStatusBar *m_status;
    QMenu *m_menu;
};

} // namespace lumetta
