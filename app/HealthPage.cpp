#include "app/HealthPage.h"

#include "app/DownloadEngine.h"
#include "app/RunState.h"
#include "app/WebcamPage.h"
#include "catalogue/CamRecord.h"
#include "catalogue/Catalogue.h"
#include "common/Subs.h"
#include "download/WebcamHealth.h"
#include "platform/Clock.h"
#include "platform/PlainText.h"
#include "slideshow/SlideShow.h"
#include "ui_TfrmMain.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace lumetta {

namespace {

enum Column { WebcamColumn, StateColumn, AgeColumn, IntervalColumn, ReasonColumn };
constexpr int SortRole = Qt::UserRole;
constexpr int ProblemRole = Qt::UserRole + 1;
constexpr int IndexRole = Qt::UserRole + 2;

QStandardItem *Cell(const QString &text, const QVariant &sortKey)
{
    auto *item = new QStandardItem(text);
    item->setData(sortKey, SortRole);
    item->setEditable(false);
    return item;
}

} // namespace

HealthPage::HealthPage(const PageContext &context, WebcamPage &webcams, DownloadEngine &engine)
    : Page(context), m_webcams(webcams), m_engine(engine), m_page(new QWidget)
{
    m_page->setObjectName(QStringLiteral("tabHealth"));
    m_onlyProblems = new QCheckBox(tr("Only problems"), m_page);
    m_onlyProblems->setObjectName(QStringLiteral("chkOnlyProblems"));
    m_retry = new QPushButton(tr("Retry now"), m_page);
    m_retry->setObjectName(QStringLiteral("butRetryNow"));
    m_retry->setAccessibleName(tr("Retry the selected webcams now"));
    m_reEnable = new QPushButton(tr("Re-enable"), m_page);
    m_reEnable->setObjectName(QStringLiteral("butReEnable"));
    m_reEnable->setAccessibleName(tr("Re-enable the selected webcams"));

    m_model = new QStandardItemModel(0, 5, m_page);
    m_model->setHorizontalHeaderLabels({tr("Webcam"), tr("State"),
                                        tr("Picture age"), tr("Learned interval"),
                                        tr("Last reason")});
    m_rows = new QSortFilterProxyModel(m_page);
    m_rows->setSourceModel(m_model);
    m_rows->setSortRole(SortRole);
    m_rows->setFilterRole(ProblemRole);
    m_rows->setFilterKeyColumn(WebcamColumn);
    m_rows->setSortCaseSensitivity(Qt::CaseInsensitive);

    m_limit = new QLabel(m_page);
    m_limit->setObjectName(QStringLiteral("lblHealthLimit"));
    m_limit->setTextFormat(Qt::PlainText);
    m_limit->setWordWrap(true);
    m_limit->hide();

    m_table = new QTableView(m_page);
    m_table->setObjectName(QStringLiteral("tblHealth"));
    m_table->setAccessibleName(tr("Webcam health"));
    m_table->setModel(m_rows);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(WebcamColumn, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    // Tab leaves the table as it leaves every other list; arrows move between cells.
    m_table->setTabKeyNavigation(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_onlyProblems);
    buttons->addStretch();
    buttons->addWidget(m_retry);
    buttons->addWidget(m_reEnable);
    auto *layout = new QVBoxLayout(m_page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(m_limit);
    layout->addWidget(m_table);

    on(m_onlyProblems, &QCheckBox::toggled, [this](bool only) {
        m_rows->setFilterFixedString(only ? QStringLiteral("1") : QString());
    });
    on(m_retry, &QPushButton::clicked, [this] { retrySelected(); });
    on(m_reEnable, &QPushButton::clicked, [this] { reEnableSelected(); });
}

void HealthPage::refresh()
{
    SlideShow *show = m_engine.slideShow();
    if (!show)
        return;
    const HealthBook &book = show->health();
    m_limit->setText(book.limitReached());
    m_limit->setVisible(!book.limitReached().isEmpty());
    const TDateTime now = m_clock.now();
    const QStringList &records = m_cat.CamData();
    const QString folder = WithTrailingSlash(m_ui->edtDownloadDir->text());
    m_model->setRowCount(0);
    for (int i = 0; i < records.size(); ++i) {
        const QString &line = records[i];
        const CamRecord record = CamRecord::fromLine(line);
        const bool pictureHeld =
            !record.localFilename().isEmpty() && QFileInfo::exists(folder + record.localFilename());
        const HealthRow row = DescribeWebcam(line, book.find(record.imageUrl()), pictureHeld, now);
        QStandardItem *name = Cell(row.name, row.name.toLower());
        name->setData(IsProblem(row.state) ? QStringLiteral("1") : QStringLiteral("0"), ProblemRole);
        name->setData(i, IndexRole);
        m_model->appendRow(QList<QStandardItem *>{name, Cell(HealthStateText(row.state), int(row.state)),
                            Cell(row.pictureAge < 0 ? QString() : AgeText(row.pictureAge), row.pictureAge),
                            Cell(row.interval > 0 ? FormatTimeText(row.interval) : QString(), row.interval),
                            Cell(row.reason, row.reason.toLower())});
        m_model->item(m_model->rowCount() - 1, ReasonColumn)->setToolTip(PlainToolTip(row.reason));
    }
    m_table->resizeColumnsToContents();
}

void HealthPage::fetchRunning(bool running)
{
    m_retry->setEnabled(!running);
    m_reEnable->setEnabled(!running);
}

QList<int> HealthPage::selectedWebcams() const
{
    QList<int> indexes;
    for (const QModelIndex &row : m_table->selectionModel()->selectedRows(WebcamColumn))
        indexes << row.data(IndexRole).toInt();
    return indexes;
}

void HealthPage::retrySelected()
{
    SlideShow *show = m_engine.slideShow();
    if (!show)
        return;
    for (int index : selectedWebcams())
        show->retryNow(index);
    refresh();
}

// As a tick in the webcam list: the record, the counts and the file follow.
void HealthPage::reEnableSelected()
{
    for (int index : selectedWebcams())
        if (QListWidgetItem *item = m_ui->SiteList->item(index))
            item->setCheckState(Qt::Checked);
    refresh();
}

} // namespace lumetta
