#include "app/SlideShowPage.h"

#include "app/KeyboardReach.h"
#include "app/RunState.h"
#include "app/SettingsTable.h"
#include "catalogue/CamRecord.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "slideshow/StoredShowSettings.h"
#include "ui_TfrmMain.h"

#include <QButtonGroup>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace lumetta {

namespace {

QIcon ColorSwatch(const QColor &color)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, 11, 11);
    return QIcon(pixmap);
}

} // namespace

SlideShowPage::SlideShowPage(const PageContext &context)
    : Page(context)
{
    m_imageSizeGroup = new QButtonGroup(m_window);
    m_imageSizeGroup->addButton(m_ui->optSSImageSize0, 0);
    m_imageSizeGroup->addButton(m_ui->optSSImageSize1, 1);
    on(m_ui->lstSelectedCats, &QListWidget::itemChanged, [this] { lstSelectedCatsClickCheck(); });
    on(m_ui->butBGcolor, &QPushButton::clicked, [this] { butBGcolorClick(); });
    m_ui->CaptionBG->installEventFilter(this);
    m_ui->CaptionColor->installEventFilter(this);
    // The colours can be changed without a mouse.
    MakeKeyboardReachable(m_ui->CaptionBG);
    MakeKeyboardReachable(m_ui->CaptionColor);
}

void SlideShowPage::setCaptionColor(const QColor &color)
{
    QPalette palette = m_ui->CaptionColor->palette();
    palette.setColor(QPalette::WindowText, color);
    m_ui->CaptionColor->setPalette(palette);
}

void SlideShowPage::setCaptionBackground(const QColor &color)
{
    QPalette palette = m_ui->CaptionBG->palette();
    palette.setColor(QPalette::Window, color);
    m_ui->CaptionBG->setPalette(palette);
}

void SlideShowPage::setBackgroundColor(const QColor &color)
{
    m_ui->butBGcolor->setProperty("color", color);
    m_ui->butBGcolor->setIcon(ColorSwatch(color));
}

void SlideShowPage::applyCaptionBackground()
{
    // Transparent: the sample shows through to its parent.
    const bool transparent = m_ui->TransparentCaption->isChecked();
    if (!transparent)
        setCaptionBackground(
            ReadSetting(Setting::CaptionBG));
    m_ui->CaptionBG->setAutoFillBackground(!transparent);
    m_ui->CaptionBG->update();
}

void SlideShowPage::applyCaptionFont()
{
    QFont f = m_ui->CaptionColor->font();
    f.setPointSize(m_ui->CaptionFontSize->value());
    m_ui->CaptionColor->setFont(f);
    placeCaptionSample();
}

// The sample text sits centred and no larger than it needs, so a click
// beside it reaches the panel (background) rather than the text (colour).
void SlideShowPage::placeCaptionSample()
{
    QLabel *sample = m_ui->CaptionColor;
    const QRect area = m_ui->CaptionBG->contentsRect();
    QSize size = sample->sizeHint().boundedTo(area.size() - QSize(8, 4));
    size.setHeight(qMax(size.height(), 1));
    QRect r(QPoint(0, 0), size);
    r.moveCenter(area.center());
    sample->setGeometry(r);
}

void SlideShowPage::CaptionColorClick()
{
    const QColor current = m_ui->CaptionColor->palette().color(QPalette::WindowText);
    if (const auto chosen = m_dialogs.chooseColor(current)) {
        setCaptionColor(*chosen);
        WriteSetting(Setting::CaptionColor, *chosen);
    }
}

void SlideShowPage::CaptionBGClick()
{
    const QColor current = ReadSetting(Setting::CaptionBG);
    if (const auto chosen = m_dialogs.chooseColor(current)) {
        WriteSetting(Setting::CaptionBG, *chosen);
        setCaptionBackground(*chosen);
        applyCaptionBackground();
    }
}

void SlideShowPage::butBGcolorClick()
{
    const QColor current = m_ui->butBGcolor->property("color").value<QColor>();
    if (const auto chosen = m_dialogs.chooseColor(current)) {
        setBackgroundColor(*chosen);
        WriteSetting(Setting::BGcolor, *chosen);
    }
}

bool SlideShowPage::eventFilter(QObject *watched, QEvent *event)
{
    // The panel grows and shrinks with the window; the sample stays centred.
    if (watched == m_ui->CaptionBG && event->type() == QEvent::Resize)
        placeCaptionSample();
    if (IsActivationKey(event)
        || (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)) {
        if (watched == m_ui->CaptionColor) {
            CaptionColorClick();
            return true;
        }
        if (watched == m_ui->CaptionBG) {
            CaptionBGClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// The stored options; the screen the show uses is the one this window is
// on, shown or not.
DisplaySettings SlideShowPage::displaySettings() const
{
    DisplaySettings s = ReadDisplaySettings();
    // debug.log belongs to the run that fetches.
    s.debugMode = s.debugMode && !m_run.ViewOnly;
    if (const QScreen *shownOn = m_window->screen())
        s.monitor = shownOn->geometry();
    return s;
}

void SlideShowPage::loadCategories()
{
    m_run.Categories = ReadSetting(Setting::Categories);
    if (m_run.Categories.isEmpty()) {
        m_run.Categories = DefaultCategories;
        // A screen saver starts on a full store too; the list is stored next time.
        (void)TryWriteSetting(Setting::Categories, m_run.Categories);
    }
    const QStringList names = SplitToList(m_run.Categories);
    m_ui->cmbCategory->clear();
    m_ui->cmbCategory->addItems(names);

    m_run.SelectedCats = ReadSetting(Setting::SelectedCats, m_run.Categories);
    m_run.SelectedCatList = SplitToList(m_run.SelectedCats);
    m_loadingCategories = true;
    m_ui->lstSelectedCats->clear();
    const QList<bool> ticked = SelectedFlags(names, m_run.SelectedCatList);
    for (qsizetype i = 0; i < names.size(); ++i) {
        auto *item = new QListWidgetItem(names[i], m_ui->lstSelectedCats);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked[i] ? Qt::Checked : Qt::Unchecked);
    }
    m_loadingCategories = false;
}

void SlideShowPage::lstSelectedCatsClickCheck()
{
    if (m_loadingCategories)
        return;
    QStringList ticked;
    for (int i = 0; i < m_ui->lstSelectedCats->count(); ++i)
        if (m_ui->lstSelectedCats->item(i)->checkState() == Qt::Checked)
            ticked << m_ui->lstSelectedCats->item(i)->text();
    m_run.SelectedCats = ticked.join(QLatin1Char(','));
    m_run.SelectedCatList = SplitToList(m_run.SelectedCats);
    WriteSetting(Setting::SelectedCats, m_run.SelectedCats);
}

} // namespace lumetta
