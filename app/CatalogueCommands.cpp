#include "app/CatalogueCommands.h"

#include "app/CatalogueQuestions.h"
#include "app/RunState.h"
#include "app/WebcamPage.h"
#include "catalogue/CamRecord.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueFile.h"
#include "platform/Dialogs.h"
#include "ui_TfrmMain.h"

#include <QListWidget>
#include <QMenu>

namespace lumetta {

CatalogueCommands::CatalogueCommands(const PageContext &context, WebcamPage &webcams)
    : Page(context), m_webcams(webcams)
{
    m_siteListMenu = new QMenu(m_window);
    m_siteListMenu->setObjectName(QStringLiteral("SiteListMenu"));
    m_siteListMenu->addAction(tr("Enable all"))->setObjectName(QStringLiteral("mnuEnableAll"));
    m_siteListMenu->addAction(tr("Disable all"))->setObjectName(QStringLiteral("mnuDisableAll"));
    m_siteListMenu->addSeparator();
    m_siteListMenu->addAction(tr("Sort by site name"))->setObjectName(QStringLiteral("mnuSortByName"));
    m_siteListMenu->addAction(tr("Sort by category"))->setObjectName(QStringLiteral("mnuSortByCategory"));
    m_ui->SiteList->setContextMenuPolicy(Qt::CustomContextMenu);
    on(m_ui->SiteList, &QWidget::customContextMenuRequested, [this](const QPoint &at) {
        m_siteListMenu->popup(m_ui->SiteList->viewport()->mapToGlobal(at));
    });
    on(m_ui->SiteList, &QListWidget::itemDoubleClicked, [this] { butRenameClick(); });

    on(m_ui->butAdd, &QToolButton::clicked, [this] { butAddClick(); });
    on(m_ui->butDelete, &QToolButton::clicked, [this] { butDeleteClick(); });
    on(m_ui->butRename, &QToolButton::clicked, [this] { butRenameClick(); });
    on(m_ui->butUp, &QToolButton::clicked, [this] { moveSelected(-1); });
    on(m_ui->butDown, &QToolButton::clicked, [this] { moveSelected(+1); });
    const std::pair<const char *, std::function<void()>> actions[] = {
        {"mnuEnableAll", [this] { setAllEnabled(true); }},
        {"mnuDisableAll", [this] { setAllEnabled(false); }},
        {"mnuSortByName", [this] { sortCatalogue(false); }},
        {"mnuSortByCategory", [this] { sortCatalogue(true); }},
    };
    for (const auto &[name, run] : actions)
        on(m_siteListMenu->findChild<QAction *>(S(name)), &QAction::triggered, run);
}

void CatalogueCommands::butAddClick()
{
    const std::optional<QString> name = AskNewCamName(m_cat, [this](const QString &prompt, const QString &text) {
        return m_dialogs.inputText(tr("New Site"), prompt, text);
    });
    if (!name)
        return;
    m_webcams.commitEditor();
    const int row = m_cat.add(*name);
    m_webcams.changeListQuietly([&] {
        auto *item = new QListWidgetItem(*name, m_ui->SiteList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    });
    m_webcams.refitListExtent();
    m_webcams.selectRow(row);
    m_webcams.SiteListClick();
    m_webcams.saveCatalogue();
}

void CatalogueCommands::butRenameClick()
{
    const int row = m_ui->SiteList->currentRow();
    if (row < 0 || row >= m_cat.count())
        return;
    const std::optional<QString> name =
        AskRenamedCam(m_cat, row, [this](const QString &prompt, const QString &text) {
            return m_dialogs.inputText(tr("Rename Site"), prompt, text);
        });
    if (!name)
        return;
    m_webcams.commitEditor();
    m_cat.rename(row, *name);
    m_webcams.mirrorItem(row);
    m_webcams.refitListExtent();
    if (!m_webcams.writeEditorBack(row))
        (void)m_run.saver.saveEdit();
    m_webcams.SiteListClick();
}

void CatalogueCommands::butDeleteClick()
{
    const int row = m_ui->SiteList->currentRow();
    if (row < 0 || row >= m_cat.count())
        return;
    if (m_dialogs.ask(tr("Are you sure you want to delete the selected Site?"), QuestionKind::YesNo,
                      tr("Delete Site"))
        != DialogButton::Yes)
        return;
    m_webcams.commitEditor();
    m_cat.remove(row);
    m_webcams.setEditorIndex(IndexAfterRemoval(m_webcams.editorIndex(), row));
    m_webcams.changeListQuietly([&] {
        delete m_ui->SiteList->takeItem(row);
    });
    m_webcams.refitListExtent();
    m_webcams.selectRow(row);  // the next webcam, or none
    m_webcams.SiteListClick();
    if (m_cat.count() == 0) {
        m_webcams.setEditorIndex(-1);
        m_webcams.clearEditor();
        m_webcams.showCounters();
    }
    m_webcams.updateEditingControls();
    m_webcams.RefreshCountDependents();
    m_webcams.saveCatalogue();
}

void CatalogueCommands::moveSelected(int delta)
{
    const int row = m_ui->SiteList->currentRow();
    if (row < 0)
        return;
    m_webcams.commitEditor();
    if (!m_cat.move(row, delta))
        return;
    const int to = row + delta;
    m_webcams.changeListQuietly([&] {
        QListWidgetItem *item = m_ui->SiteList->takeItem(row);
        m_ui->SiteList->insertItem(to, item);
        m_ui->SiteList->setCurrentRow(to);
    });
    // The editor still shows the same webcam, now at its new place.
    m_webcams.setEditorIndex(IndexAfterMove(m_webcams.editorIndex(), row, to));
    m_webcams.showCounters();
    m_webcams.saveCatalogue();
}

void CatalogueCommands::setAllEnabled(bool enabled)
{
    const int row = m_ui->SiteList->currentRow();
    m_webcams.commitEditor();
    m_cat.setAllEnabled(enabled);
    m_webcams.RebuildSiteList();
    m_webcams.selectRow(row);
    m_webcams.SiteListClick();
    m_webcams.saveCatalogue();
}

void CatalogueCommands::sortCatalogue(bool byCategory)
{
    m_webcams.commitEditor();
    if (byCategory)
        m_cat.sortByCategory();
    else
        m_cat.sortBySiteName();
    m_webcams.RebuildSiteList();
    m_webcams.saveCatalogue();
}

} // namespace lumetta
