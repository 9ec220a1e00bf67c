#include "app/TfrmMain.h"

#include "app/StartupFiles.h"
#include "catalogue/CamEditor.h"
#include "catalogue/CamRecord.h"
#include "catalogue/CatalogueFile.h"
#include "download/ImageFetch.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/VersionInfo.h"
#include "ui_TfrmMain.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QProxyStyle>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTabBar>
#include <QTimeEdit>

namespace lumetta {

namespace {

const QString ExportHint = QStringLiteral(
    "If you would like this webcam to be included in our webcam list, click on the button "
    "below, but first please MAKE SURE THE WEBCAM IS ACTIVE AND WORKING.");
const QString SecurityWarning =
    QStringLiteral("DO NOT install if screen saver password security is an issue.");
const QString NoAppPathMessage =
    QStringLiteral("Cannot run screensaver yet.\r\nPlease run the main application first.");
const QString ListFileFilter = QStringLiteral(
    "List files (*.lst)|*.LST|Text files (*.txt)|*.TXT|All files (*.*)|*.*");
const QString ScreenSaverFilter = QStringLiteral("Screen savers (*.scr)|*.SCR|All files (*.*)|*.*");
const QString UnsafeLocalNameMessage = QStringLiteral(
    "\"%1\" cannot be a local filename: it must be a plain file name inside the webcam image "
    "directory, without \"/\", \"\\\" or \"..\".\r\nThe previous name is kept.");

QString S(const char *text)
{
    return QString::fromLatin1(text);
}

// Narrower tab padding so all seven pages of an administration run fit
// the fixed window without scroll arrows.
class TightTabStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

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

TfrmMain::TfrmMain(const RunMode &mode, const MainServices &services, QWidget *parent)
    : QWidget(parent),
      ScreenSaverMode(mode.screenSaver),
      ConfigMode(mode.config),
      AdminMode(mode.admin),
      m_ui(std::make_unique<Ui::TfrmMain>()),
      m_dialogs(services.dialogs),
      m_shell(services.shell),
      m_clock(services.clock)
{
    m_ui->setupUi(this);
    setupControls();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::setupControls()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(587, 440);
    QFont base = font();
    base.setPixelSize(11);
    setFont(base);

    auto *tabStyle = new TightTabStyle;
    tabStyle->setParent(m_ui->PageControl1);
    m_ui->PageControl1->tabBar()->setStyle(tabStyle);

    QStyle *s = style();
    m_ui->butClose->setIcon(s->standardIcon(QStyle::SP_DialogCloseButton));
    m_ui->butAdd->setText(QStringLiteral("+"));
    m_ui->butDelete->setIcon(s->standardIcon(QStyle::SP_TrashIcon));
    m_ui->butRename->setText(QStringLiteral("ab"));
    m_ui->butUp->setIcon(s->standardIcon(QStyle::SP_ArrowUp));
    m_ui->butDown->setIcon(s->standardIcon(QStyle::SP_ArrowDown));
    m_ui->butHomepage->setIcon(s->standardIcon(QStyle::SP_DirHomeIcon));
    m_ui->butPlay->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
    m_ui->butStop->setIcon(s->standardIcon(QStyle::SP_MediaStop));

    // Link labels look like links; what they open comes with the support pages.
    for (QLabel *link : {m_ui->lblHomepageUrl, m_ui->lblFAQUrl, m_ui->lblBugs, m_ui->LnkLabel1,
                         m_ui->LnkLabel2}) {
        link->setStyleSheet(QStringLiteral("QLabel { color: blue; text-decoration: underline; }"));
        link->setCursor(Qt::PointingHandCursor);
    }
    QFont nameFont = m_ui->lblAppName->font();
    nameFont.setPixelSize(20);
    nameFont.setBold(true);
    m_ui->lblAppName->setFont(nameFont);

    m_imageSizeGroup = new QButtonGroup(this);
    m_imageSizeGroup->addButton(m_ui->optSSImageSize0, 0);
    m_imageSizeGroup->addButton(m_ui->optSSImageSize1, 1);

    m_siteListMenu = new QMenu(this);
    m_siteListMenu->setObjectName(QStringLiteral("SiteListMenu"));
    m_siteListMenu->addAction(QStringLiteral("Enable all"))->setObjectName(QStringLiteral("mnuEnableAll"));
    m_siteListMenu->addAction(QStringLiteral("Disable all"))->setObjectName(QStringLiteral("mnuDisableAll"));
    m_siteListMenu->addSeparator();
    m_siteListMenu->addAction(QStringLiteral("Sort by site name"))->setObjectName(QStringLiteral("mnuSortByName"));
    m_siteListMenu->addAction(QStringLiteral("Sort by category"))->setObjectName(QStringLiteral("mnuSortByCategory"));
    m_ui->SiteList->setContextMenuPolicy(Qt::CustomContextMenu);
    // One line per webcam: no per-item size pass over a large catalogue.
    m_ui->SiteList->setUniformItemSizes(true);
    on(m_ui->SiteList, &QWidget::customContextMenuRequested, [this](const QPoint &at) {
        m_siteListMenu->popup(m_ui->SiteList->viewport()->mapToGlobal(at));
    });

    for (const SettingSpec &entry : SettingsTable())
        connectSetting(entry);

    connectEditor();
    on(m_ui->lstSelectedCats, &QListWidget::itemChanged,
            [this] { lstSelectedCatsClickCheck(); });
    on(m_ui->butClose, &QPushButton::clicked, [this] { butCloseClick(); });
    on(m_ui->butSlideshow, &QPushButton::clicked, [this] { butSlideshowClick(); });
    on(m_ui->butBrowse, &QToolButton::clicked, [this] { butBrowseClick(); });
    on(m_ui->edtDownloadDir, &QLineEdit::editingFinished, [this] {
        WriteRegString(LumettaKey, QStringLiteral("DownloadDir"), m_ui->edtDownloadDir->text());
    });
    on(m_ui->butBGcolor, &QPushButton::clicked, [this] { butBGcolorClick(); });
    on(m_ui->SpeedButton4, &QToolButton::clicked, [this] { SpeedButton4Click(); });
    on(m_ui->SpeedButton1, &QToolButton::clicked,
            [this] { listFileBrowse("edtMainList", "MainList"); });
    on(m_ui->SpeedButton2, &QToolButton::clicked,
            [this] { listFileBrowse("edtAdultList", "AdultList"); });
    on(m_ui->SpeedButton3, &QToolButton::clicked,
            [this] { listFileBrowse("edtSubmissionList", "SubmissionList"); });
    m_ui->CaptionBG->installEventFilter(this);
    m_ui->CaptionColor->installEventFilter(this);

    SSTimer.setObjectName(QStringLiteral("SSTimer"));
    CameraTimer.setObjectName(QStringLiteral("CameraTimer"));
    TimeOutTimer.setObjectName(QStringLiteral("TimeOutTimer"));
    ClickNowTimer.setObjectName(QStringLiteral("ClickNowTimer"));

    setCaptionColor(ColorFromStored(255));
    setCaptionBackground(ColorFromStored(0));
    setBackgroundColor(ColorFromStored(0));
    applyCaptionFont();
}

// Each setting's control writes its value the moment the user changes it.
void TfrmMain::connectSetting(const SettingSpec &entry)
{
    if (!entry.control)
        return;
    QObject *control = findChild<QObject *>(S(entry.control));
    Q_ASSERT_X(control, "TfrmMain", entry.control);
    if (!control)
        return;
    const SettingSpec *s = &entry;
    // While a value loads, only its own handler runs; a control it moves
    // (the fast-cam minimum) must not overwrite a value not yet read.
    auto changed = [this, s] {
        if (!m_loading)
            settingChanged(*s);
    };
    if (auto *box = qobject_cast<QCheckBox *>(control)) {
        on(box, &QCheckBox::clicked, changed);
    } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
        on(spin, &QSpinBox::valueChanged, changed);
    } else if (auto *slider = qobject_cast<QSlider *>(control)) {
        on(slider, &QSlider::valueChanged, changed);
    } else if (auto *date = qobject_cast<QDateEdit *>(control)) {
        on(date, &QDateEdit::dateChanged, changed);
    } else if (auto *time = qobject_cast<QTimeEdit *>(control)) {
        on(time, &QTimeEdit::timeChanged, changed);
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        on(edit, &QLineEdit::editingFinished, changed);
        if (entry.writeOnEveryChange)
            on(edit, &QLineEdit::textChanged, changed);
    } else if (control == m_ui->optSSImageSize) {
        on(m_imageSizeGroup, &QButtonGroup::idClicked, changed);
    }
}

void TfrmMain::loadPhase(LoadPhase phase)
{
    for (const SettingSpec &entry : SettingsTable())
        if (entry.phase == phase && entry.control)
            loadSetting(entry);
}

void TfrmMain::loadSetting(const SettingSpec &entry)
{
    m_loading = true;
    const auto done = qScopeGuard([this] { m_loading = false; });
    const QString name = S(entry.name);
    QObject *control = findChild<QObject *>(S(entry.control));
    switch (entry.type) {
    case SettingType::Flag: {
        auto *box = qobject_cast<QCheckBox *>(control);
        const bool value = ReadRegBool(LumettaKey, name, entry.intDefault != 0);
        {
            const QSignalBlocker block(box);
            box->setChecked(value);
        }
        if (LoadRunsHandler(entry, value))
            settingChanged(entry);
        break;
    }
    case SettingType::Integer: {
        const int value = ReadRegInteger(LumettaKey, name, entry.intDefault);
        if (auto *spin = qobject_cast<QSpinBox *>(control)) {
            const QSignalBlocker block(spin);
            spin->setValue(value);  // clamps into the box's range
        } else if (auto *slider = qobject_cast<QSlider *>(control)) {
            const QSignalBlocker block(slider);
            slider->setValue(value);
        } else if (control == m_ui->optSSImageSize) {
            (value == 1 ? m_ui->optSSImageSize1 : m_ui->optSSImageSize0)->setChecked(true);
        }
        if (LoadRunsHandler(entry, value))
            settingChanged(entry);
        break;
    }
    case SettingType::String: {
        auto *edit = qobject_cast<QLineEdit *>(control);
        const QString value = ReadRegString(LumettaKey, name, S(entry.textDefault));
        {
            const QSignalBlocker block(edit);
            edit->setText(value);
        }
        // A box that writes on every change sees loading as a change.
        if (entry.writeOnEveryChange && value != S(entry.designText))
            settingChanged(entry);
        break;
    }
    case SettingType::Time: {
        auto *time = qobject_cast<QTimeEdit *>(control);
        const TDateTime value = ParseTimeText(ReadRegString(LumettaKey, name, S(entry.textDefault)));
        const QSignalBlocker block(time);
        time->setTime(TimeFromValue(value));
        break;
    }
    case SettingType::Date: {
        auto *date = qobject_cast<QDateEdit *>(control);
        const QString fallback = FormatDateText(DefaultDateForSiteDelete(m_clock.now()));
        const QDate value = ParseDateText(ReadRegString(LumettaKey, name, fallback));
        const QSignalBlocker block(date);
        date->setDate(value);
        break;
    }
    case SettingType::Colour: {
        const QColor color = ColorFromStored(ReadRegInteger(LumettaKey, name, entry.intDefault));
        if (control == m_ui->CaptionColor)
            setCaptionColor(color);
        else if (control == m_ui->CaptionBG)
            setCaptionBackground(color);
        else
            setBackgroundColor(color);
        break;
    }
    case SettingType::Special:
        break;
    }
}

// The change handler of every setting control: store, then let the
// controls that depend on it follow.
void TfrmMain::settingChanged(const SettingSpec &entry)
{
    const QString name = S(entry.name);
    QObject *control = findChild<QObject *>(S(entry.control));
    if (auto *box = qobject_cast<QCheckBox *>(control)) {
        WriteRegBool(LumettaKey, name, box->isChecked());
    } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
        WriteRegInteger(LumettaKey, name, spin->value());
    } else if (auto *slider = qobject_cast<QSlider *>(control)) {
        WriteRegInteger(LumettaKey, name, slider->value());
    } else if (auto *date = qobject_cast<QDateEdit *>(control)) {
        WriteRegString(LumettaKey, name, FormatDateText(date->date()));
    } else if (auto *time = qobject_cast<QTimeEdit *>(control)) {
        WriteRegString(LumettaKey, name, FormatTimeText(ValueFromTime(time->time())));
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        WriteRegString(LumettaKey, name, edit->text());
    } else if (control == m_ui->optSSImageSize) {
        WriteRegInteger(LumettaKey, name, m_imageSizeGroup->checkedId() == 1 ? 1 : 0);
    }

    if (name == QLatin1String("VersionAlert"))
        m_ui->lblLatestVersion->setVisible(!m_ui->VersionAlert->isChecked());
    else if (name == QLatin1String("TransparentCaption"))
        applyCaptionBackground();
    else if (name == QLatin1String("CaptionFontSize")) {
        applyCaptionFont();
        if (CaptionFontSizeChanged && isActiveWindow())
            CaptionFontSizeChanged(m_ui->CaptionFontSize->value());
    }
    else if (name == QLatin1String("SSInterval"))
        m_ui->SSInterval2->setMinimum(m_ui->SSInterval->value());
    else if (name == QLatin1String("CheckDisabledCams"))
        RefreshCountDependents();
    updateIntervalSteps();
    refreshOptionDependents();
}

void TfrmMain::refreshOptionDependents()
{
    OptionStates options;
    options.useProxy = m_ui->chkProxy->isChecked();
    options.random = m_ui->chkRandom->isChecked();
    options.showCurrentCamOnly = m_ui->ShowCurrentCamOnly->isChecked();
    options.disableMouseMoveDetect = m_ui->chkDisableMouseMoveDetect->isChecked();
    options.showCaption = m_ui->ShowCaption->isChecked();
    options.ssImageSize = m_imageSizeGroup->checkedId() == 1 ? 1 : 0;
    const DependentStates d = ComputeDependentStates(options);
    m_ui->ProxyServer->setEnabled(d.proxyFieldsEnabled);
    m_ui->ProxyPort->setEnabled(d.proxyFieldsEnabled);
    m_ui->lblPort->setEnabled(d.proxyFieldsEnabled);
    m_ui->chkResume->setEnabled(d.resumeEnabled);
    m_ui->lstSelectedCats->setEnabled(d.selectedCatsEnabled);
    m_ui->SwToOneCamOnMouseMove->setEnabled(d.swToOneCamEnabled);
    m_ui->grpCaption->setVisible(d.captionGroupVisible);
    m_ui->spinImageSize->setEnabled(d.imageSizeEnabled);
    m_ui->chkDoNotShrinkImages->setEnabled(d.imageSizeEnabled);
    m_ui->spinTimesActualSize->setEnabled(d.timesActualSizeEnabled);
}

void TfrmMain::updateIntervalSteps()
{
    m_ui->SSInterval->setSingleStep(SlideIntervalStep(m_ui->SSInterval->value()));
    m_ui->SSInterval2->setSingleStep(SlideIntervalStep(m_ui->SSInterval2->value()));
}

void TfrmMain::RefreshCountDependents()
{
    const CountStates c = ComputeCountStates(EnabledCount, AdultCount, EnableAA,
                                             m_ui->CheckDisabledCams->isChecked());
    m_ui->butSlideshow->setEnabled(c.slideshowEnabled);
    SSTimer.setEnabled(c.ssTimerEnabled);
    (ScreenSaverMode ? m_ui->EnableSSAdultAds : m_ui->EnableAdultAds)->setVisible(c.adultOffersVisible);
}

void TfrmMain::showAdultOffersBox()
{
    m_ui->EnableSSAdultAds->setVisible(ComputeCountStates(EnabledCount, AdultCount, EnableAA, false)
                                           .adultOffersVisible);
    loadSetting(*FindSetting(QStringLiteral("EnableSSAdultAds")));
}

// --- caption sample -------------------------------------------------------

void TfrmMain::setCaptionColor(const QColor &color)
{
    QPalette palette = m_ui->CaptionColor->palette();
    palette.setColor(QPalette::WindowText, color);
    m_ui->CaptionColor->setPalette(palette);
}

void TfrmMain::setCaptionBackground(const QColor &color)
{
    QPalette palette = m_ui->CaptionBG->palette();
    palette.setColor(QPalette::Window, color);
    m_ui->CaptionBG->setPalette(palette);
}

void TfrmMain::setBackgroundColor(const QColor &color)
{
    m_ui->butBGcolor->setProperty("color", color);
    m_ui->butBGcolor->setIcon(ColorSwatch(color));
}

void TfrmMain::applyCaptionBackground()
{
    // Transparent: the sample shows through to its parent.
    const bool transparent = m_ui->TransparentCaption->isChecked();
    if (!transparent)
        setCaptionBackground(
            ColorFromStored(ReadRegInteger(LumettaKey, QStringLiteral("CaptionBG"), 0)));
    m_ui->CaptionBG->setAutoFillBackground(!transparent);
    m_ui->CaptionBG->update();
}

void TfrmMain::applyCaptionFont()
{
    QFont f = m_ui->CaptionColor->font();
    f.setPointSize(m_ui->CaptionFontSize->value());
    m_ui->CaptionColor->setFont(f);
    placeCaptionSample();
}

// The sample text sits centred and no larger than it needs, so a click
// beside it reaches the panel (background) rather than the text (colour).
void TfrmMain::placeCaptionSample()
{
    QLabel *sample = m_ui->CaptionColor;
    const QRect area = m_ui->CaptionBG->contentsRect();
    QSize size = sample->sizeHint().boundedTo(area.size() - QSize(8, 4));
    size.setHeight(qMax(size.height(), 1));
    QRect r(QPoint(0, 0), size);
    r.moveCenter(area.center());
    sample->setGeometry(r);
}

void TfrmMain::CaptionColorClick()
{
    const QColor current = m_ui->CaptionColor->palette().color(QPalette::WindowText);
    if (const auto chosen = m_dialogs.chooseColor(current)) {
        setCaptionColor(*chosen);
        WriteRegInteger(LumettaKey, QStringLiteral("CaptionColor"), ColorToStored(*chosen));
    }
}

void TfrmMain::CaptionBGClick()
{
    const QColor current = ColorFromStored(ReadRegInteger(LumettaKey, QStringLiteral("CaptionBG"), 0));
    if (const auto chosen = m_dialogs.chooseColor(current)) {
        WriteRegInteger(LumettaKey, QStringLiteral("CaptionBG"), ColorToStored(*chosen));
        setCaptionBackground(*chosen);
        applyCaptionBackground();
    }
}

void TfrmMain::butBGcolorClick()
{
    const QColor current = m_ui->butBGcolor->property("color").value<QColor>();
    if (const auto chosen = m_dialogs.chooseColor(current)) {
        setBackgroundColor(*chosen);
        WriteRegInteger(LumettaKey, QStringLiteral("BGcolor"), ColorToStored(*chosen));
    }
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_ui->CaptionColor) {
            CaptionColorClick();
            return true;
        }
        if (watched == m_ui->CaptionBG) {
            CaptionBGClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- folders and files ----------------------------------------------------

void TfrmMain::butBrowseClick()
{
    if (const auto folder = m_dialogs.chooseFolder(QStringLiteral("Select Folder"),
                                                   m_ui->edtDownloadDir->text())) {
        m_ui->edtDownloadDir->setText(*folder);
        WriteRegString(LumettaKey, QStringLiteral("DownloadDir"), *folder);
    }
}

void TfrmMain::SpeedButton4Click()
{
    if (const auto file = m_dialogs.chooseOpenFile(QString(), WindowsFolder(), ScreenSaverFilter)) {
        m_ui->edtAltSS->setText(*file);
        WriteRegString(LumettaKey, QStringLiteral("AltSS"), *file);
    }
}

void TfrmMain::listFileBrowse(const char *edit, const char *name)
{
    auto *box = findChild<QLineEdit *>(S(edit));
    if (const auto file = m_dialogs.chooseOpenFile(QString(), QString(), ListFileFilter)) {
        box->setText(*file);
        WriteRegString(LumettaKey, S(name), *file);
    }
}

// --- categories -----------------------------------------------------------

void TfrmMain::loadCategories()
{
    Categories = ReadRegString(LumettaKey, QStringLiteral("Categories"), QString());
    if (Categories.isEmpty()) {
        Categories = DefaultCategories;
        WriteRegString(LumettaKey, QStringLiteral("Categories"), Categories);
    }
    const QStringList names = SplitToList(Categories);
    m_ui->cmbCategory->clear();
    m_ui->cmbCategory->addItems(names);

    SelectedCats = ReadRegString(LumettaKey, QStringLiteral("SelectedCats"), Categories);
    SelectedCatList = SplitToList(SelectedCats);
    m_loadingCategories = true;
    m_ui->lstSelectedCats->clear();
    for (const QString &category : names) {
        auto *item = new QListWidgetItem(category, m_ui->lstSelectedCats);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(SelectedCatList.contains(category, Qt::CaseInsensitive) ? Qt::Checked
                                                                                     : Qt::Unchecked);
    }
    m_loadingCategories = false;
}

void TfrmMain::lstSelectedCatsClickCheck()
{
    if (m_loadingCategories)
        return;
    QStringList ticked;
    for (int i = 0; i < m_ui->lstSelectedCats->count(); ++i)
        if (m_ui->lstSelectedCats->item(i)->checkState() == Qt::Checked)
            ticked << m_ui->lstSelectedCats->item(i)->text();
    SelectedCats = ticked.join(QLatin1Char(','));
    SelectedCatList = SplitToList(SelectedCats);
    WriteRegString(LumettaKey, QStringLiteral("SelectedCats"), SelectedCats);
}

// --- catalogue list -------------------------------------------------------

void TfrmMain::connectEditor()
{
    QListWidget *list = m_ui->SiteList;
    // Mouse and keyboard both move the selection; the editor follows either.
    on(list, &QListWidget::currentRowChanged, [this] {
        if (!m_mirroring)
            SiteListClick();
    });
    on(list, &QListWidget::itemChanged, [this](QListWidgetItem *item) { SiteListClickCheck(item); });
    on(list, &QListWidget::itemDoubleClicked, [this] { butRenameClick(); });

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
    on(m_ui->butBackup, &QPushButton::clicked, [this] { butBackupClick(); });
    on(m_ui->butRestore, &QPushButton::clicked, [this] { butRestoreClick(); });
    on(m_ui->butDelCams, &QPushButton::clicked, [this] { butDelCamsClick(); });
}

QStringList TfrmMain::loadCatalogueFile()
{
    // Blank lines are no webcams; leaving them out keeps list and records in step.
    QStringList lines;
    for (const QString &line : LoadCatalogue(DataFileName))
        if (!line.trimmed().isEmpty())
            lines << line;
    return lines;
}

// Operations other than the editor's write-back report a failed save.
void TfrmMain::saveCatalogue()
{
    SaveCatalogue(DataFileName, CamData);
}

QString TfrmMain::makeLocalName(const QString &url)
{
    QStringList taken = m_cat.LocalFileList.names();
    const QString name = MakeLocalFileName(url, m_ui->edtDownloadDir->text(), taken);
    m_cat.LocalFileList.add(name);
    return name;
}

void TfrmMain::mirrorItems()
{
    QListWidget *list = m_ui->SiteList;
    const QScopedValueRollback mirroring(m_mirroring, true);
    const QSignalBlocker block(list);
    list->setUpdatesEnabled(false);
    list->clear();
    for (const ListItem &entry : m_cat.items()) {
        auto *item = new QListWidgetItem(entry.text, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.checked ? Qt::Checked : Qt::Unchecked);
    }
    list->setUpdatesEnabled(true);
    refitListExtent();
}

void TfrmMain::mirrorItem(int row)
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

void TfrmMain::refitListExtent()
{
    QListWidget *list = m_ui->SiteList;
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (const ListItem &entry : m_cat.items())
        widest = qMax(widest, metrics.horizontalAdvance(entry.text));
    list->setHorizontalScrollBarPolicy(widest + 20 > list->viewport()->width() ? Qt::ScrollBarAsNeeded
                                                                               : Qt::ScrollBarAlwaysOff);
}

void TfrmMain::selectRow(int row)
{
    const QScopedValueRollback mirroring(m_mirroring, true);
    const QSignalBlocker block(m_ui->SiteList);
    m_ui->SiteList->setCurrentRow(row >= 0 && row < m_cat.count() ? row : -1);
}

void TfrmMain::updateEditingControls()
{
    const bool any = m_cat.count() > 0;
    for (QWidget *button : {static_cast<QWidget *>(m_ui->butDelete), static_cast<QWidget *>(m_ui->butRename),
                            static_cast<QWidget *>(m_ui->butUp), static_cast<QWidget *>(m_ui->butDown)})
        button->setEnabled(any);
    // An editor that shows no record takes no typing that could not be kept.
    m_ui->grpEditor->setEnabled(m_editorIndex >= 0);
}

void TfrmMain::showCounters()
{
    m_ui->StatusBar->showMessage(QStringLiteral("Webcams - Current: %1  Enabled: %2  Total: %3")
                                     .arg(m_ui->SiteList->currentRow() + 1)
                                     .arg(EnabledCount)
                                     .arg(m_cat.count()));
}

void TfrmMain::RebuildSiteList()
{
    m_cat.rebuild();
    mirrorItems();
    selectRow(-1);
    m_editorIndex = -1;
    clearEditor();
    updateEditingControls();
    RefreshCountDependents();
}

void TfrmMain::SiteListClick()
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

void TfrmMain::loadEditor(int row)
{
    m_editorIndex = -1;
    const QScopedValueRollback filling(m_fillingEditor, true);
    const EditorFields f =
        LoadEditorFields(CamData[row], [this](const QString &url) { return makeLocalName(url); });
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
    // Only a complete load names the record that write-backs may replace.
    m_editorIndex = row;
}

void TfrmMain::clearEditor()
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

bool TfrmMain::writeEditorBack(int row)
{
    if (m_fillingEditor || row < 0 || row >= m_cat.count() || row != m_editorIndex)
        return false;
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
    const ListItem &item = m_cat.items()[row];
    m_cat.replaceRecord(row, EditorRecord(f, item.text, item.checked));
    mirrorItem(row);
    for (QLineEdit *edit : {m_ui->ImageUrl, m_ui->edtHomePage, m_ui->edtLocalFilename})
        edit->setModified(false);
    // The change stays in memory and reaches the file with the next save.
    (void)TrySaveCatalogue(DataFileName, CamData);
    return true;
}

void TfrmMain::SaveCurrentCam()
{
    writeEditorBack(m_ui->SiteList->currentRow());
}

// Typing not yet confirmed by leaving its box goes to the record the editor
// shows before anything else changes the catalogue or the selection.
void TfrmMain::commitEditor()
{
    if (m_editorIndex < 0 || m_fillingEditor)
        return;
    if (m_ui->ImageUrl->isModified() || m_ui->edtHomePage->isModified() || m_ui->edtLocalFilename->isModified())
        writeEditorBack(m_editorIndex);
}

void TfrmMain::editorChanged()
{
    if (!m_fillingEditor)
        SaveCurrentCam();
}

void TfrmMain::SiteListClickCheck(QListWidgetItem *item)
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
        (void)TrySaveCatalogue(DataFileName, CamData);
}

// --- editor events ----------------------------------------------------------

// Leaving a box acts only on the record the editor was loaded from, and not
// while the editor is being filled or another exit is running.
bool TfrmMain::editorExitApplies(int row) const
{
    return !m_inEditorExit && !m_fillingEditor && row >= 0 && row == m_editorIndex;
}

void TfrmMain::ImageUrlChange()
{
    if (!m_fillingEditor)
        m_ui->edtLastModified->setText(FormatDateTimeText(NeverDate()));
}

void TfrmMain::ImageUrlExit()
{
    const int row = m_ui->SiteList->currentRow();
    if (!editorExitApplies(row))
        return;
    const QScopedValueRollback exiting(m_inEditorExit, true);
    const QString url = m_ui->ImageUrl->text();
    // A cleared URL is saved too: clearing it was the user's edit.
    if (!url.trimmed().isEmpty()) {
        if (row < ImageUrlList.size())
            ImageUrlList[row] = url;
        const int other = m_cat.duplicateUrl(url, row);
        if (other >= 0)
            m_dialogs.showMessage(QStringLiteral("This webcam already exists (%1 - %2)")
                                      .arg(other + 1)
                                      .arg(m_cat.itemText(other)));
        if (m_ui->edtLocalFilename->text().isEmpty()) {
            m_shownLocalName = makeLocalName(url);
            m_ui->edtLocalFilename->setText(m_shownLocalName);
        }
    }
    SaveCurrentCam();
}

void TfrmMain::edtLocalFilenameExit()
{
    const int row = m_ui->SiteList->currentRow();
    if (!editorExitApplies(row))
        return;
    const QScopedValueRollback exiting(m_inEditorExit, true);
    const QString name = m_ui->edtLocalFilename->text();
    if (!IsSafeLocalFileName(name)) {
        // The image is written under this name: it must stay in the folder.
        m_ui->edtLocalFilename->setText(m_shownLocalName);
        m_dialogs.showMessage(UnsafeLocalNameMessage.arg(name), MessageIcon::Warning);
        return;
    }
    m_shownLocalName = name;
    SaveCurrentCam();
}

void TfrmMain::butResetClick()
{
    m_ui->edtLastDownloadTime->setText(FormatDateTimeText(NeverDate()));
    SaveCurrentCam();
}

void TfrmMain::butHomepageClick()
{
    if (!m_shell.openDocument(m_ui->edtHomePage->text()))
        m_dialogs.showMessage(QStringLiteral("Could not launch URL"));
}

// --- catalogue operations ---------------------------------------------------

void TfrmMain::butAddClick()
{
    const std::optional<QString> name = AskNewCamName(m_cat, [this](const QString &prompt, const QString &text) {
        return m_dialogs.inputText(QStringLiteral("New Site"), prompt, text);
    });
    if (!name)
        return;
    commitEditor();
    const int row = m_cat.add(*name);
    {
        const QScopedValueRollback mirroring(m_mirroring, true);
        const QSignalBlocker block(m_ui->SiteList);
        auto *item = new QListWidgetItem(*name, m_ui->SiteList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    refitListExtent();
    selectRow(row);
    SiteListClick();
    saveCatalogue();
}

void TfrmMain::butRenameClick()
{
    const int row = m_ui->SiteList->currentRow();
    if (row < 0 || row >= m_cat.count())
        return;
    const std::optional<QString> name =
        AskRenamedCam(m_cat, row, [this](const QString &prompt, const QString &text) {
            return m_dialogs.inputText(QStringLiteral("Rename Site"), prompt, text);
        });
    if (!name)
        return;
    commitEditor();
    m_cat.rename(row, *name);
    mirrorItem(row);
    refitListExtent();
    if (!writeEditorBack(row))
        (void)TrySaveCatalogue(DataFileName, CamData);
    SiteListClick();
}

void TfrmMain::butDeleteClick()
{
    const int row = m_ui->SiteList->currentRow();
    if (row < 0 || row >= m_cat.count())
        return;
    if (m_dialogs.ask(QStringLiteral("Are you sure you want to delete the selected Site?"), QuestionKind::YesNo,
                      QStringLiteral("Delete Site"))
        != DialogButton::Yes)
        return;
    commitEditor();
    m_cat.remove(row);
    if (m_editorIndex == row)
        m_editorIndex = -1;
    else if (m_editorIndex > row)
        --m_editorIndex;
    {
        const QScopedValueRollback mirroring(m_mirroring, true);
        const QSignalBlocker block(m_ui->SiteList);
        delete m_ui->SiteList->takeItem(row);
    }
    refitListExtent();
    selectRow(row);  // the next webcam, or none
    SiteListClick();
    if (m_cat.count() == 0) {
        m_editorIndex = -1;
        clearEditor();
        showCounters();
    }
    updateEditingControls();
    RefreshCountDependents();
    saveCatalogue();
}

void TfrmMain::moveSelected(int delta)
{
    const int row = m_ui->SiteList->currentRow();
    if (row < 0)
        return;
    commitEditor();
    if (!m_cat.move(row, delta))
        return;
    const int to = row + delta;
    {
        const QScopedValueRollback mirroring(m_mirroring, true);
        const QSignalBlocker block(m_ui->SiteList);
        QListWidgetItem *item = m_ui->SiteList->takeItem(row);
        m_ui->SiteList->insertItem(to, item);
        m_ui->SiteList->setCurrentRow(to);
    }
    // The editor still shows the same webcam, now at its new place.
    if (m_editorIndex == row)
        m_editorIndex = to;
    else if (m_editorIndex == to)
        m_editorIndex = row;
    showCounters();
    saveCatalogue();
}

void TfrmMain::setAllEnabled(bool enabled)
{
    const int row = m_ui->SiteList->currentRow();
    commitEditor();
    m_cat.setAllEnabled(enabled);
    RebuildSiteList();
    selectRow(row);
    SiteListClick();
    saveCatalogue();
}

void TfrmMain::sortCatalogue(bool byCategory)
{
    commitEditor();
    if (byCategory)
        m_cat.sortByCategory();
    else
        m_cat.sortBySiteName();
    RebuildSiteList();
    saveCatalogue();
}

void TfrmMain::butBackupClick()
{
    m_dialogs.beep();
    commitEditor();
    m_dialogs.showMessage(BackupCatalogue(DataFileName, BackupFileName) ? QStringLiteral("Backup done.")
                                                                        : QStringLiteral("Backup failed."));
}

void TfrmMain::butRestoreClick()
{
    m_dialogs.beep();
    commitEditor();
    if (!RestoreCatalogue(BackupFileName, DataFileName)) {
        m_dialogs.showMessage(QStringLiteral("Restore failed."));
        return;
    }
    CamData = loadCatalogueFile();
    RebuildSiteList();
    m_dialogs.showMessage(QStringLiteral("Webcam data restored."));
}

void TfrmMain::butDelCamsClick()
{
    if (m_dialogs.ask(QStringLiteral("Are you sure you want to delete inactive Sites?"), QuestionKind::YesNo,
                      QStringLiteral("Delete inactive Sites"))
        != DialogButton::Yes)
        return;
    commitEditor();
    // The picker's day at the time of day it carries: a webcam last active
    // before that day is always a candidate.
    const TDateTime now = m_clock.now();
    const TDateTime cutoff =
        FromQDateTime(QDateTime(m_ui->dtDelCams->date(), QTime(0, 0))) + (now - std::floor(now));
    const int deleted = m_cat.deleteInactive(cutoff, [this](const Catalogue::Candidate &c) {
        const DialogButton answer = m_dialogs.ask(
            QStringLiteral("Index: %1\r\nSite: %2\r\nLast Active Date: %3\r\n\r\nDelete this site?")
                .arg(c.index)
                .arg(c.name, c.lastActive),
            QuestionKind::YesNoAllAbort);
        switch (answer) {
        case DialogButton::Yes: return Catalogue::Decision::Yes;
        case DialogButton::YesToAll: return Catalogue::Decision::YesToAll;
        case DialogButton::Abort: return Catalogue::Decision::Abort;
        default: return Catalogue::Decision::No;
        }
    });
    RebuildSiteList();
    m_dialogs.showMessage(QStringLiteral("Deleted Sites:  ") + QString::number(deleted));
    saveCatalogue();
}

// --- run --------------------------------------------------------------------

// A hidden page is also disabled: Ctrl+Tab would still reach it otherwise.
void TfrmMain::showPage(QWidget *page, bool shown)
{
    QTabWidget *pages = m_ui->PageControl1;
    pages->setTabVisible(pages->indexOf(page), shown);
    pages->setTabEnabled(pages->indexOf(page), shown);
}

void TfrmMain::butSlideshowClick()
{
    if (StartSlideShow)
        StartSlideShow();
}

void TfrmMain::butCloseClick()
{
    if (AbortRequest)
        AbortRequest();
    QCoreApplication::quit();
}

void TfrmMain::AppEventsException(const QString &message)
{
    m_dialogs.showMessage(message);
}

TfrmMain::SetupResult TfrmMain::FormCreate()
{
    // 1
    m_ui->txtExport->setText(ExportHint);
    m_ui->lblSecurity->setText(SecurityWarning);

    // 2: the lists start empty with the window.
    CamData.clear();
    ImageUrlList.clear();
    LocalFileList.clear();
    SelectedCatList.clear();
    ImportList.clear();

    // 3
    QTabWidget *pages = m_ui->PageControl1;
    showPage(m_ui->tabAdmin, false);
    if (AdminMode) {
        showPage(m_ui->tabAdmin, true);
        loadPhase(LoadPhase::Admin);
        m_ui->lblLatestVersion->setVisible(false);
        m_ui->txtExport->setVisible(true);
        m_ui->butExportCam->setVisible(true);
        m_ui->grpImpExp->setVisible(true);
    }

    // 4
    loadPhase(LoadPhase::Early);

    // 5
    if (ScreenSaverMode || ConfigMode) {
        AppPath = ReadRegString(LumettaKey, QStringLiteral("AppPath"), QString());
        if (AppPath.isEmpty()) {
            m_dialogs.showMessage(NoAppPathMessage);
            return SetupResult::EndProcess;
        }
    } else {
        AppPath = ResolveAppPath(QCoreApplication::applicationDirPath());
        WriteRegString(LumettaKey, QStringLiteral("AppPath"), AppPath);
    }

    // 6
    VersionString = lumetta::VersionString();
    m_ui->lblAppName->setText(AppTitle);
    m_ui->lblAppVersion->setText(QStringLiteral("Version ") + VersionString);
    m_ui->lblAppDesc->setText(VersionComments());
    m_ui->lblCopyright->setText(VersionCopyright());
    ProductPath = QStringLiteral("lumetta");

    // 7
    setWindowTitle(MainCaption(AppTitle, VersionString));

    // 8
    move(ReadRegInteger(LumettaKey, QStringLiteral("Left"), 200),
         ReadRegInteger(LumettaKey, QStringLiteral("Top"), 200));
    EnableAA = ReadRegInteger(LumettaKey, QStringLiteral("X-EnableAA"), 0);
    loadPhase(LoadPhase::Window);
    m_ui->SSInterval2->setMinimum(m_ui->SSInterval->value());
    updateIntervalSteps();
    applyCaptionBackground();
    refreshOptionDependents();
    SSTimer.setInterval(0);

    // 9
    DataFileName = AppPath + DataFileBaseName;
    BackupFileName = AppPath + BackupFileBaseName;
    CreateCatalogueIfMissing(DataFileName);
    CamData = loadCatalogueFile();

    // 10
    const QString downloadDir =
        ReadRegString(LumettaKey, QStringLiteral("DownloadDir"), AppPath + QStringLiteral("images"));
    m_ui->edtDownloadDir->setText(downloadDir);
    SampleImageFile = WithTrailingSlash(downloadDir) + QStringLiteral("sample.jpg");

    // 11
    const QString site = VendorSite();
    for (auto [name, path, url] : {std::tuple{QStringLiteral("L1"), MainListPath(), &MainListUrl},
                                   std::tuple{QStringLiteral("L2"), AdultListPath(), &AdultListUrl}}) {
        const ListLocation location =
            ResolveListLocation(ReadRegString(LumettaKey, name, QString()), site + path);
        if (!location.storeShifted.isEmpty())
            WriteRegString(LumettaKey, name, location.storeShifted);
        *url = location.url;
    }
    loadCategories();

    // 12
    RebuildSiteList();
    const int selectedCam = ReadRegInteger(LumettaKey, QStringLiteral("SelectedCam"), 1);
    const int lastCam = AdminMode ? ReadRegInteger(LumettaKey, QStringLiteral("LastCam"), 1) : 0;
    if (!CamData.isEmpty()) {
        const int index = AdminMode ? lastCam : selectedCam;
        selectRow(index);
        SiteListClick();
    }

    // 13
    pages->setCurrentWidget(m_ui->tabWebcams);

    // 14
    if (ScreenSaverMode) {
        const QString offlineSaver = m_ui->edtAltSS->text();
        if (!m_shell.isInternetConnected() && !offlineSaver.isEmpty()
            && m_shell.startProgram(offlineSaver, {QStringLiteral("/s")}))
            return SetupResult::OfflineSaverStarted;
        showAdultOffersBox();
        butSlideshowClick();  // runs even while the button is disabled
    }

    // 15
    if (ConfigMode) {
        for (QWidget *page : {m_ui->tabWebcams, m_ui->tabWebcamOptions, m_ui->tabTools})
            showPage(page, false);
        m_ui->butSlideshow->setVisible(false);
        m_ui->EnableAdultAds->setVisible(false);
        showAdultOffersBox();
        m_ui->ShowCaption->setVisible(true);
        pages->setTabText(pages->indexOf(m_ui->tabSlideShow), QStringLiteral(" Screen saver options"));
        pages->setCurrentWidget(m_ui->tabSlideShow);
    }

    // 16
    const QString readme = AppPath + QStringLiteral("readme.txt");
    if (QFileInfo::exists(readme))
        m_ui->memoHelp->setPlainText(ReadLatin1File(readme));

    // 17: keep an installed screen saver at this version.
    if (!ScreenSaverMode)
        RefreshInstalledCopy(QCoreApplication::applicationFilePath(),
                             WindowsFolder() + QStringLiteral("Lumetta.scr"));
    return SetupResult::Completed;
}

void TfrmMain::FormDestroy()
{
    WriteRegInteger(LumettaKey, QStringLiteral("Top"), pos().y());
    WriteRegInteger(LumettaKey, QStringLiteral("Left"), pos().x());
    WriteRegInteger(LumettaKey, QStringLiteral("SelectedCam"), m_ui->SiteList->currentRow());
    // No write-back may reach the file once the records are gone.
    m_editorIndex = -1;
    m_cat = Catalogue();
    SelectedCatList.clear();
    ImportList.clear();
}

} // namespace lumetta
