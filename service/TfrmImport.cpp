#include "service/TfrmImport.h"

#include "catalogue/CatalogueFile.h"
#include "platform/Guarded.h"
#include "platform/PlainText.h"
#include "service/WebcamList.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace lumetta {

TfrmImport::TfrmImport(QStringList &importList, QString workingFile, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_importList(importList), m_workingFile(std::move(workingFile))
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(tr("Webcam List"));
    auto *butImport = new QPushButton(tr("Import selected"), this);
    butImport->setObjectName(QStringLiteral("butImport"));
    auto *butClose = new QPushButton(tr("Close"), this);
    butClose->setObjectName(QStringLiteral("butClose"));
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("edtFilter"));
    m_filterLabel = new QLabel(tr("Filter"), this);
    m_filterLabel->setObjectName(QStringLiteral("lblFilter"));
    m_filterLabel->setBuddy(m_filter);
    m_lastUpdated = new QLabel(tr("Last updated"), this);
    m_lastUpdated->setObjectName(QStringLiteral("lblLastUpdated"));
    MakeLabelsPlain(m_lastUpdated);  // the date is the server's text
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstImport"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(true);
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("ImportListMenu"));
    QAction *selectAll = m_menu->addAction(tr("Select all"));
    selectAll->setObjectName(QStringLiteral("mnuSelectAll"));
    QAction *deselectAll = m_menu->addAction(tr("Deselect all"));
    deselectAll->setObjectName(QStringLiteral("mnuDeselectAll"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_filterLabel);
    top->addWidget(m_filter, 1);
    top->addWidget(m_lastUpdated);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(butImport);
    buttons->addWidget(butClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    resize(420, 480);

    connect(butImport, &QPushButton::clicked, this, Guarded([this] { butImportClick(); }));
    connect(butClose, &QPushButton::clicked, this, Guarded([this] { close(); }));
    connect(selectAll, &QAction::triggered, this, Guarded([this] { mnuSelectAllClick(); }));
    connect(deselectAll, &QAction::triggered, this, Guarded([this] { mnuDeselectAllClick(); }));
    connect(m_list, &QListWidget::customContextMenuRequested, this,
            Guarded([this](const QPoint &at) { m_menu->popup(m_list->viewport()->mapToGlobal(at)); }));
    connect(m_list, &QListWidget::itemChanged, this,
            Guarded([this](QListWidgetItem *item) { lstImportClickCheck(item); }));
    connect(m_filter, &QLineEdit::textChanged, this, Guarded([this](const QString &t) { edtFilterChange(t); }));
}

TfrmImport::~TfrmImport()
{
    if (isVisible())
        FormClose();
}

void TfrmImport::showList(const QString &lastUpdated, bool filterEnabled)
{
    m_lastUpdated->setText(lastUpdated);
    showListKeepingDate(filterEnabled);
}

void TfrmImport::showListKeepingDate(bool filterEnabled)
{
    fillItems();
    // A new list into an open dialog counts afresh as well: the counter
    // always matches the ticks shown.
    SelectedCount = 0;
    showCounter();
    m_filter->setEnabled(filterEnabled);
    m_filterLabel->setEnabled(filterEnabled);
    show();
    raise();
}

void TfrmImport::fillItems()
{
    fillItems(ListDisplayTexts(m_importList), {});
}

// The model is built in one go: a list of a million lines must not pay
// for a million insertions the view follows one by one.
void TfrmImport::fillItems(const QStringList &texts, const QList<bool> &ticked)
{
    m_filling = true;
    m_list->clear();
    m_list->addItems(texts);
    {
        const QSignalBlocker quiet(m_list->model());
        for (int i = 0; i < m_list->count(); ++i) {
            QListWidgetItem *item = m_list->item(i);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(i < ticked.size() && ticked[i] ? Qt::Checked : Qt::Unchecked);
        }
    }
    m_list->viewport()->update();
    m_filling = false;
}

QList<bool> TfrmImport::ticks() const
{
    QList<bool> out;
    for (int i = 0; i < m_list->count(); ++i)
        out.append(m_list->item(i)->checkState() == Qt::Checked);
    return out;
}

void TfrmImport::lstImportClickCheck(QListWidgetItem *item)
{
    if (m_filling)
        return;
    SelectedCount += item->checkState() == Qt::Checked ? 1 : -1;
    showCounter();
}

void TfrmImport::setAllTicks(bool ticked)
{
    m_filling = true;
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    m_filling = false;
    SelectedCount = ticked ? m_list->count() : 0;
    showCounter();
}

void TfrmImport::mnuSelectAllClick()
{
    setAllTicks(true);
}

void TfrmImport::mnuDeselectAllClick()
{
    setAllTicks(false);
}

void TfrmImport::edtFilterChange(const QString &text)
{
    if (FilterNeedsReload(m_prevFilter, text)) {
        // A working file gone missing leaves the list as it is.
        if (QFile::exists(m_workingFile))
            m_importList = ReadListFile(m_workingFile);
        fillItems();
    }
    QStringList shown;
    shown.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i)
        shown.append(m_list->item(i)->text());
    const QList<int> kept = FilterMatches(shown, text);
    if (kept.size() != shown.size()) {
        // Rebuilt from what stays rather than taken out item by item, which
        // costs the square of the list's length.
        const QList<bool> wasTicked = ticks();
        QStringList lines, texts;
        QList<bool> ticked;
        lines.reserve(kept.size());
        texts.reserve(kept.size());
        ticked.reserve(kept.size());
        for (const int i : kept) {
            lines.append(m_importList[i]);
            texts.append(shown[i]);
            ticked.append(wasTicked[i]);
        }
        m_importList = std::move(lines);
        fillItems(texts, ticked);
    }
    // Ticks that survive a narrowing are counted, so the counter tells the truth.
    SelectedCount = int(ticks().count(true));
    showCounter();
    m_prevFilter = text;
}

void TfrmImport::butImportClick()
{
    if (OnImportSelected)
        OnImportSelected(ticks());
}

void TfrmImport::FormClose()
{
    if (QFile::exists(m_workingFile))
        QFile::remove(m_workingFile);
}

void TfrmImport::closeEvent(QCloseEvent *event)
{
    RunGuarded([this] { FormClose(); });
    QWidget::closeEvent(event);
}

void TfrmImport::showCounter()
{
    m_status->showMessage(tr("Selected  %1/%2").arg(SelectedCount).arg(m_list->count()));
}

} // namespace lumetta
