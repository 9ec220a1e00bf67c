#include "app/TfrmMain.h"

#include "app/CatalogueQuestions.h"
#include "app/DownloadEngine.h"
#include "app/SupportPage.h"
#include "app/StartupFiles.h"
#include "catalogue/CamEditor.h"
#include "catalogue/CamRecord.h"
#include "catalogue/CatalogueFile.h"
#include "download/ImageFetch.h"
#include "slideshow/SlideShow.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "service/ListTools.h"
#include "service/AdOptions.h"
#include "slideshow/ScreenSaverInstall.h"
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
#include <QScreen>
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
    "directory, without \"/\", \"\\\", \"..\" or \"||\".\r\nThe previous name is kept.");

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

// How the window talks to each kind of setting control: connect its change
// signal, show a stored value without signals, read the value to store
// (bool, int, or text in the store's form).
struct ControlAdapter {
    const QMetaObject *kind;
    void (*connectChange)(QObject *control, QObject *context, std::function<void()> changed,
                          bool everyChange);
    void (*show)(QObject *control, const QVariant &value);
    QVariant (*stored)(QObject *control);
};

template <typename Control>
Control *As(QObject *control)
{
    return static_cast<Control *>(control);
}

// Spin boxes and sliders hold a whole number and signal its change alike.
template <typename Control>
ControlAdapter IntegerAdapter()
{
    return {&Control::staticMetaObject,
            [](QObject *c, QObject *ctx, std::function<void()> changed, bool) {
                QObject::connect(As<Control>(c), &Control::valueChanged, ctx, [changed] { changed(); });
            },
            [](QObject *c, const QVariant &v) {
                const QSignalBlocker block(c);
                As<Control>(c)->setValue(v.toInt());
            },
            [](QObject *c) { return QVariant(As<Control>(c)->value()); }};
}

const ControlAdapter Adapters[] = {
    {&QCheckBox::staticMetaObject,
     [](QObject *c, QObject *ctx, std::function<void()> changed, bool) {
         QObject::connect(As<QCheckBox>(c), &QCheckBox::clicked, ctx, [changed] { changed(); });
     },
     [](QObject *c, const QVariant &v) {
         const QSignalBlocker block(c);
         As<QCheckBox>(c)->setChecked(v.toInt() != 0);
     },
     [](QObject *c) { return QVariant(As<QCheckBox>(c)->isChecked()); }},
    IntegerAdapter<QSpinBox>(),
    IntegerAdapter<QSlider>(),
    {&QButtonGroup::staticMetaObject,
     [](QObject *c, QObject *ctx, std::function<void()> changed, bool) {
         QObject::connect(As<QButtonGroup>(c), &QButtonGroup::idClicked, ctx, [changed] { changed(); });
     },
     [](QObject *c, const QVariant &v) {
         if (QAbstractButton *button = As<QButtonGroup>(c)->button(v.toInt() == 1 ? 1 : 0))
             button->setChecked(true);
     },
     [](QObject *c) { return QVariant(As<QButtonGroup>(c)->checkedId() == 1 ? 1 : 0); }},
    {&QDateEdit::staticMetaObject,
     [](QObject *c, QObject *ctx, std::function<void()> changed, bool) {
         QObject::connect(As<QDateEdit>(c), &QDateEdit::dateChanged, ctx, [changed] { changed(); });
     },
     [](QObject *c, const QVariant &v) {
         const QDate date = ParseDateText(v.toString());
         const QSignalBlocker block(c);
         As<QDateEdit>(c)->setDate(date);
     },
     [](QObject *c) { return QVariant(FormatDateText(As<QDateEdit>(c)->date())); }},
    {&QTimeEdit::staticMetaObject,
     [](QObject *c, QObject *ctx, std::function<void()> changed, bool) {
         QObject::connect(As<QTimeEdit>(c), &QTimeEdit::timeChanged, ctx, [changed] { changed(); });
     },
     [](QObject *c, const QVariant &v) {
         const QTime time = TimeFromValue(ParseTimeText(v.toString()));
         const QSignalBlocker block(c);
         As<QTimeEdit>(c)->setTime(time);
     },
     [](QObject *c) { return QVariant(FormatTimeText(ValueFromTime(As<QTimeEdit>(c)->time()))); }},
    {&QLineEdit::staticMetaObject,
     [](QObject *c, QObject *ctx, std::function<void()> changed, bool everyChange) {
         QObject::connect(As<QLineEdit>(c), &QLineEdit::editingFinished, ctx, [changed] { changed(); });
         if (everyChange)
             QObject::connect(As<QLineEdit>(c), &QLineEdit::textChanged, ctx, [changed] { changed(); });
     },
     [](QObject *c, const QVariant &v) {
         const QSignalBlocker block(c);
         As<QLineEdit>(c)->setText(v.toString());
     },
     [](QObject *c) { return QVariant(As<QLineEdit>(c)->text()); }},
};

// The exact class decides: a date box is also a date-time box, and a time
// box must not be taken for one.
const ControlAdapter *AdapterFor(const QObject *control)
{
    if (!control)
        return nullptr;
    for (const ControlAdapter &adapter : Adapters)
        if (control->metaObject() == adapter.kind)
            return &adapter;
    return nullptr;
}

} // namespace

TfrmMain::TfrmMain(const RunMode &mode, const MainServices &services, QWidget *parent)
    : QWidget(parent),
      m_run(mode, services.time),
      m_time(services.time),
      m_ui(std::make_unique<Ui::TfrmMain>()),
      m_dialogs(services.dialogs),
      m_shell(services.shell),
      m_clock(services.clock)
{
    m_ui->setupUi(this);
    // Names, dates and versions come from servers, lists and the catalogue:
    // no label reads them as markup.
    for (QLabel *label : findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
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

    // The pages come after the window's font: theirs derive from it.
    const PageContext context{m_ui.get(), this, m_run, m_cat, m_dialogs, m_shell, m_clock, m_time};
    m_support = std::make_unique<SupportPage>(context);
    m_engine = std::make_unique<DownloadEngine>(
        context, DownloadEngine::Hooks{[this] {
                                           const int row = m_ui->SiteList->currentRow();
                                           const ListItem item = m_cat.items().value(row);
                                           return EditorRecord(editorFields(), item.text, item.checked);
                                       },
                                       [this](int index) { slideShowChangedRecord(index); }});

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
    connectListTools();
    m_ui->CaptionBG->installEventFilter(this);
    m_ui->CaptionColor->installEventFilter(this);
    connectServiceTools();

    setCaptionColor(ColorFromStored(255));
    setCaptionBackground(ColorFromStored(0));
    setBackgroundColor(ColorFromStored(0));
    applyCaptionFont();
}

// Each setting's control writes its value the moment the user changes it.
void TfrmMain::connectSetting(const SettingSpec &entry)
{
    QObject *control = settingControl(entry);
    const ControlAdapter *adapter = AdapterFor(control);
    if (!adapter)
        return;
    const SettingSpec *s = &entry;
    // While a value loads, only its own handler runs; a control it moves
    // (the fast-cam minimum) must not overwrite a value not yet read.
    adapter->connectChange(control, this, Guarded([this, s] {
                               if (!m_loading)
                                   settingChanged(*s);
                           }),
                           entry.writeOnEveryChange);
}

// The control that holds a setting; the image-size choice is its button group.
QObject *TfrmMain::settingControl(const SettingSpec &entry) const
{
    if (!entry.control)
        return nullptr;
    if (qstrcmp(entry.control, "optSSImageSize") == 0)
        return m_imageSizeGroup;
    QObject *control = findChild<QObject *>(S(entry.control));
    Q_ASSERT_X(control, "TfrmMain", entry.control);
    return control;
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
    QObject *control = settingControl(entry);
    switch (entry.type) {
    case SettingType::Flag:
    case SettingType::Integer: {
        const int value = entry.type == SettingType::Flag
                              ? int(ReadRegBool(LumettaKey, name, entry.intDefault != 0))
                              : ReadRegInteger(LumettaKey, name, entry.intDefault);
        AdapterFor(control)->show(control, value);  // a spin box clamps into its range
        if (LoadRunsHandler(entry, value))
            settingChanged(entry);
        break;
    }
    case SettingType::String: {
        const QString value = ReadRegString(LumettaKey, name, S(entry.textDefault));
        AdapterFor(control)->show(control, value);
        // A box that writes on every change sees loading as a change.
        if (entry.writeOnEveryChange && value != S(entry.designText))
            settingChanged(entry);
        break;
    }
    case SettingType::Time:
        AdapterFor(control)->show(control, ReadRegString(LumettaKey, name, S(entry.textDefault)));
        break;
    case SettingType::Date: {
        const QString fallback = FormatDateText(DefaultDateForSiteDelete(m_clock.now()));
        AdapterFor(control)->show(control, ReadRegString(LumettaKey, name, fallback));
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
    QObject *control = settingControl(entry);
    if (const ControlAdapter *adapter = AdapterFor(control)) {
        const QVariant value = adapter->stored(control);
        const QString name = S(entry.name);
        if (value.typeId() == QMetaType::Bool)
            WriteRegBool(LumettaKey, name, value.toBool());
        else if (value.typeId() == QMetaType::Int)
            WriteRegInteger(LumettaKey, name, value.toInt());
        else
            WriteRegString(LumettaKey, name, value.toString());
    }

    switch (entry.effect) {
    case SettingEffect::LatestVersionLabel:
        m_ui->lblLatestVersion->setVisible(!m_ui->VersionAlert->isChecked());
        break;
    case SettingEffect::CaptionBackground:
        applyCaptionBackground();
        break;
    case SettingEffect::CaptionFont:
        applyCaptionFont();
        if (m_run.CaptionFontSizeChanged && isActiveWindow())
            m_run.CaptionFontSizeChanged(m_ui->CaptionFontSize->value());
        break;
    case SettingEffect::FastCamMinimum:
        m_ui->SSInterval2->setMinimum(m_ui->SSInterval->value());
        break;
    case SettingEffect::CountDependents:
        RefreshCountDependents();
        break;
    case SettingEffect::None:
        break;
    }
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
    const CountStates c = ComputeCountStates(m_cat.EnabledCount(), m_cat.AdultCount(), m_run.EnableAA,
                                             m_ui->CheckDisabledCams->isChecked());
    m_ui->butSlideshow->setEnabled(c.slideshowEnabled);
    // The counts may stop the show, never start it: only the user does.
    if (!c.ssTimerEnabled)
        m_run.SSTimer.setEnabled(false);
    (m_run.ScreenSaverMode ? m_ui->EnableSSAdultAds : m_ui->EnableAdultAds)->setVisible(c.adultOffersVisible);
}

void TfrmMain::showAdultOffersBox()
{
    m_ui->EnableSSAdultAds->setVisible(ComputeCountStates(m_cat.EnabledCount(), m_cat.AdultCount(), m_run.EnableAA, false)
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

// The screen the show uses is the one this window is on, shown or not.
DisplaySettings TfrmMain::displaySettings() const
{
    DisplaySettings s;
    s.size.ssImageSize = m_imageSizeGroup->checkedId() == 1 ? 1 : 0;
    s.size.imageSizePercent = m_ui->spinImageSize->value();
    s.size.timesActualSizePercent = m_ui->spinTimesActualSize->value();
    s.size.doNotShrinkImages = m_ui->chkDoNotShrinkImages->isChecked();
    s.size.shrinkToScreen = m_ui->chkMaxImageSizeEqScrnSize->isChecked();
    s.size.adjustForPAL = m_ui->chkAdjustForPAL->isChecked();
    s.showCaption = m_ui->ShowCaption->isChecked();
    s.transparentCaption = m_ui->TransparentCaption->isChecked();
    s.captionPositionAtTop = m_ui->CaptionPositionAtTop->isChecked();
    s.captionColor = m_ui->CaptionColor->palette().color(QPalette::WindowText);
    s.captionBackground = m_ui->CaptionBG->palette().color(QPalette::Window);
    s.captionFontSize = m_ui->CaptionColor->font().pointSize();
    s.showAdsOnly = m_ui->ShowAdsOnly->isChecked();
    s.disableMouseMoveDetect = m_ui->chkDisableMouseMoveDetect->isChecked();
    s.swToOneCamOnMouseMove = m_ui->SwToOneCamOnMouseMove->isChecked();
    s.showCountdown = m_ui->chkCountdown->isChecked();
    // debug.log belongs to the run that fetches.
    s.debugMode = m_ui->DebugMode->isChecked() && !m_run.ViewOnly;
    if (const QScreen *shownOn = screen())
        s.monitor = shownOn->geometry();
    return s;
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
    if (const auto file = m_dialogs.chooseOpenFile(QString(), SystemScreenSaverFolder(), ScreenSaverFilter)) {
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

// --- webcam lists ---------------------------------------------------------

ListTools &TfrmMain::listTools()
{
    if (!m_lists) {
        ListToolsHooks hooks{m_dialogs, m_run.AppPath, m_run.ImportList};
        hooks.fetch = [this](const QString &url, const QString &file, int timeOut) {
            return m_engine->fetch().GetUrlToFile(url, file, timeOut);
        };
        hooks.categories = [this] {
            QStringList items;
            for (int i = 0; i < m_ui->cmbCategory->count(); ++i)
                items << m_ui->cmbCategory->itemText(i);
            return items;
        };
        hooks.camData = [this] { return m_cat.CamData(); };
        hooks.appendRecords = [this](const QStringList &records) {
            commitEditor();
            const int row = m_ui->SiteList->currentRow();
            m_cat.append(records);
            RebuildSiteList();
            saveCatalogue();
            // The counters and the editor follow the merge; the webcam the
            // editor showed stays shown.
            selectRow(row);
            SiteListClick();
        };
        hooks.now = [this] { return m_clock.now(); };
        hooks.version = m_run.VersionString;
        hooks.submissionUrl = VendorSite() + SubmissionPath();
        hooks.listUrls = [this] {
            const auto read = [](const QString &name) {
                return ShiftChars(ReadRegString(LumettaKey, name, QString()), -StoredTextShift);
            };
            m_run.MainListUrl = read(QStringLiteral("L1"));
            m_run.AdultListUrl = read(QStringLiteral("L2"));
            return std::pair{m_run.MainListUrl, m_run.AdultListUrl};
        };
        m_lists = std::make_unique<ListTools>(std::move(hooks));
    }
    return *m_lists;
}

void TfrmMain::connectListTools()
{
    on(m_ui->butGetCamList, &QPushButton::clicked, [this] { listTools().ImportWebcamList(m_run.MainListUrl); });
    on(m_ui->butGetAdultCamList, &QPushButton::clicked,
       [this] { listTools().ImportWebcamList(m_run.AdultListUrl); });
    on(m_ui->butExport, &QPushButton::clicked, [this] {
        listTools().ExportMasterLists(m_ui->edtMainList->text(), m_ui->edtAdultList->text());
    });
    on(m_ui->butImport, &QPushButton::clicked,
       [this] { listTools().ImportSubmissions(m_ui->edtSubmissionList->text()); });
    on(m_ui->butDeleteMasterList, &QPushButton::clicked,
       [this] { listTools().DeleteSubmissions(m_ui->edtSubmissionList->text()); });
    on(m_ui->butExportCam, &QPushButton::clicked, [this] {
        const auto timeOf = [](const QTimeEdit *edit) { return edit->time().msecsSinceStartOfDay() / 86400000.0; };
        SubmissionSnapshot s;
        s.hasSelection = m_ui->SiteList->currentItem() && m_ui->cmbCategory->currentIndex() >= 0;
        s.lastModified = m_ui->edtLastModified->text();
        s.fields = {m_ui->cmbCategory->currentText(),
                    s.hasSelection ? m_ui->SiteList->currentItem()->text() : QString(),
                    m_ui->ImageUrl->text(), m_ui->edtHomePage->text(), timeOf(m_ui->dtRefreshRate),
                    timeOf(m_ui->dtStartTime), timeOf(m_ui->dtEndTime), m_run.VersionString};
        listTools().SubmitWebcam(s);
    });
}

// --- categories -----------------------------------------------------------

void TfrmMain::loadCategories()
{
    m_run.Categories = ReadRegString(LumettaKey, QStringLiteral("Categories"), QString());
    if (m_run.Categories.isEmpty()) {
        m_run.Categories = DefaultCategories;
        WriteRegString(LumettaKey, QStringLiteral("Categories"), m_run.Categories);
    }
    const QStringList names = SplitToList(m_run.Categories);
    m_ui->cmbCategory->clear();
    m_ui->cmbCategory->addItems(names);

    m_run.SelectedCats = ReadRegString(LumettaKey, QStringLiteral("SelectedCats"), m_run.Categories);
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

void TfrmMain::lstSelectedCatsClickCheck()
{
    if (m_loadingCategories)
        return;
    QStringList ticked;
    for (int i = 0; i < m_ui->lstSelectedCats->count(); ++i)
        if (m_ui->lstSelectedCats->item(i)->checkState() == Qt::Checked)
            ticked << m_ui->lstSelectedCats->item(i)->text();
    m_run.SelectedCats = ticked.join(QLatin1Char(','));
    m_run.SelectedCatList = SplitToList(m_run.SelectedCats);
    WriteRegString(LumettaKey, QStringLiteral("SelectedCats"), m_run.SelectedCats);
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
    on(m_ui->butPlay, &QToolButton::clicked, [this] { butPlayClick(); });
    on(m_ui->butStop, &QToolButton::clicked, [this] { butStopClick(); });

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
    for (const QString &line : LoadCatalogue(m_run.DataFileName))
        if (!TrimRecordLine(line).isEmpty())
            lines << line;
    // An absurd field is cut once, said once, and saved cut.
    FieldCut cut = CutLongFields(std::move(lines));
    if (!cut.cutLines.isEmpty()) {
        if (TrySaveCatalogue(m_run.DataFileName, cut.lines) && !m_run.ScreenSaverMode)
            m_dialogs.showMessage(LongFieldsMessage(cut), MessageIcon::Warning);
    }
    return std::move(cut.lines);
}

// Operations other than the editor's write-back report a failed save.
void TfrmMain::saveCatalogue()
{
    SaveCatalogue(m_run.DataFileName, m_cat.CamData());
}

QString TfrmMain::makeLocalName(const QString &url)
{
    QStringList taken = m_cat.LocalFileList().names();
    const QString name = MakeLocalFileName(url, m_ui->edtDownloadDir->text(), taken);
    m_cat.reserveLocalFileName(name);
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
                                     .arg(m_cat.EnabledCount())
                                     .arg(m_cat.count()));
}

void TfrmMain::RebuildSiteList()
{
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

// Loading runs the check boxes' handlers when their state changes, so the
// record is written back as shown; that one write-back comes after the
// editor is complete, and a generated local file name is stored at once.
void TfrmMain::loadEditor(int row)
{
    m_editorIndex = -1;
    const Qt::CheckState adjustBefore = m_ui->chkAutoAdjust->checkState();
    const bool showLastBefore = m_ui->chkShowLastImage->isChecked();
    bool generated = false;
    {
        const QScopedValueRollback filling(m_fillingEditor, true);
        const EditorFields f = LoadEditorFields(m_cat.CamData()[row], [this, &generated](const QString &url) {
            generated = true;
            return makeLocalName(url);
        });
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
        for (QLineEdit *edit : {m_ui->ImageUrl, m_ui->edtHomePage, m_ui->edtLocalFilename})
            edit->setModified(false);
    }
    // Only a complete load names the record that write-backs may replace.
    m_editorIndex = row;
    if (generated || m_ui->chkAutoAdjust->checkState() != adjustBefore
        || m_ui->chkShowLastImage->isChecked() != showLastBefore)
        writeEditorBack(row);
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
    refuseUnsafeText(m_ui->ImageUrl, fImageUrl);
    refuseUnsafeText(m_ui->edtHomePage, fHomePage);
    const EditorFields f = editorFields();
    const ListItem &item = m_cat.items()[row];
    m_cat.replaceRecord(row, EditorRecord(f, item.text, item.checked));
    mirrorItem(row);
    for (QLineEdit *edit : {m_ui->ImageUrl, m_ui->edtHomePage, m_ui->edtLocalFilename})
        edit->setModified(false);
    // The change stays in memory and reaches the file with the next save.
    (void)TrySaveCatalogue(m_run.DataFileName, m_cat.CamData());
    return true;
}

// The record the editor shows, as its controls stand.
EditorFields TfrmMain::editorFields() const
{
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
    return f;
}

// Text that would change the record's structure goes back to what the
// record holds, with a message; true when it was refused.
bool TfrmMain::refuseUnsafeText(QLineEdit *edit, int field)
{
    const QString typed = edit->text();
    if (IsSafeFieldText(typed))
        return false;
    {
        const QScopedValueRollback filling(m_fillingEditor, true);
        const CamRecord record = CamRecord::fromLine(m_cat.CamData().value(m_editorIndex));
        edit->setText(record.field(field));
        edit->setModified(false);
        // Typing the URL showed the never date; the kept URL keeps its date.
        if (field == fImageUrl) {
            const QString lastModified = record.field(fLastModified);
            m_ui->edtLastModified->setText(lastModified.isEmpty() ? FormatDateTimeText(NeverDate()) : lastModified);
        }
    }
    const QScopedValueRollback exiting(m_inEditorExit, true);
    m_dialogs.showMessage(UnsafeFieldMessage.arg(typed), MessageIcon::Warning);
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
        (void)TrySaveCatalogue(m_run.DataFileName, m_cat.CamData());
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
    if (refuseUnsafeText(m_ui->ImageUrl, fImageUrl))
        return;
    const QScopedValueRollback exiting(m_inEditorExit, true);
    const QString url = m_ui->ImageUrl->text();
    // A cleared URL is saved too: clearing it was the user's edit.
    if (!url.trimmed().isEmpty()) {
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
    if (!OpenWebLink(m_shell, m_ui->edtHomePage->text()))
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
        (void)TrySaveCatalogue(m_run.DataFileName, m_cat.CamData());
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
    m_editorIndex = IndexAfterRemoval(m_editorIndex, row);
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
    m_editorIndex = IndexAfterMove(m_editorIndex, row, to);
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
    m_dialogs.showMessage(BackupCatalogue(m_run.DataFileName, m_run.BackupFileName) ? QStringLiteral("Backup done.")
                                                                        : QStringLiteral("Backup failed."));
}

void TfrmMain::butRestoreClick()
{
    m_dialogs.beep();
    commitEditor();
    if (!RestoreCatalogue(m_run.BackupFileName, m_run.DataFileName)) {
        m_dialogs.showMessage(QStringLiteral("Restore failed."));
        return;
    }
    m_cat.load(loadCatalogueFile());
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
    const TDateTime cutoff = InactiveSitesCutoff(m_ui->dtDelCams->date(), m_clock.now());
    const int deleted = m_cat.deleteInactive(cutoff, [this](const Catalogue::Candidate &c) {
        return DeleteInactiveDecision(m_dialogs.ask(InactiveSiteQuestion(c), QuestionKind::YesNoAllAbort));
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
    if (m_run.StartSlideShow)
        m_run.StartSlideShow();
}

// --- slide show ---------------------------------------------------------------

void TfrmMain::setShowDisplay(ShowDisplay &display)
{
    m_engine->setShowDisplay(display);
}

SlideShow *TfrmMain::slideShow()
{
    return m_engine->slideShow();
}

ShowSettings TfrmMain::showSettings() const
{
    return m_engine->showSettings();
}

// The list and the counters follow a record the slide show rewrote; the
// editor is reloaded only when it shows that record, so no value of the
// downloaded webcam ever reaches another one.
void TfrmMain::slideShowChangedRecord(int index)
{
    mirrorItem(index);
    RefreshCountDependents();
    if (index == m_editorIndex)
        SiteListClick();
    else
        showCounters();
}

void TfrmMain::butPlayClick()
{
    const int row = m_ui->SiteList->currentRow();
    if (!m_engine->slideShow() || row < 0)
        return;
    commitEditor();
    m_ui->butPlay->setEnabled(false);
    m_ui->butStop->setEnabled(true);
    m_ui->SiteList->setEnabled(false);
    m_engine->slideShow()->startPlay(row, WithTrailingSlash(m_ui->edtDownloadDir->text()) + m_ui->edtLocalFilename->text());
}

void TfrmMain::butStopClick()
{
    if (SlideShow *show = m_engine->slideShow())
        show->stopPlay();
    m_ui->butPlay->setEnabled(true);
    m_ui->butStop->setEnabled(false);
    m_ui->SiteList->setEnabled(true);
}

void TfrmMain::butCloseClick()
{
    if (m_run.AbortRequest)
        m_run.AbortRequest();
    QCoreApplication::quit();
}

void TfrmMain::AppEventsException(const QString &message)
{
    m_dialogs.showMessage(message);
}

// Each step may raise what the store or the files raise; the caller shows
// it, and the steps after the failing one stay undone.
TfrmMain::SetupResult TfrmMain::FormCreate()
{
    m_ui->txtExport->setText(ExportHint);
    m_ui->lblSecurity->setText(SecurityWarning);
    // The lists start empty with the window.
    m_cat.clear();
    RebuildSiteList();
    m_run.SelectedCatList.clear();
    m_run.ImportList.clear();

    arrangeAdminPages();
    loadPhase(LoadPhase::Early);
    if (!resolveAppPath())
        return SetupResult::EndProcess;
    m_engine->create();
    m_support->showVersion();
    loadWindowSettings();
    loadCatalogueAndList();
    loadDownloadFolder();
    loadListLocations();
    loadCategories();
    selectStartingCam();
    m_ui->PageControl1->setCurrentWidget(m_ui->tabWebcams);
    if (m_run.ScreenSaverMode && startScreenSaver() == SetupResult::OfflineSaverStarted)
        return SetupResult::OfflineSaverStarted;
    if (m_run.ConfigMode)
        arrangeConfigPages();
    m_support->loadHelpText();
    // Keep an installed screen saver at this version, also one an earlier
    // version's entry in ~/.xscreensaver still runs from the former folder.
    if (!m_run.ScreenSaverMode)
        for (const QString &copy : InstalledCopyPaths())
            RefreshInstalledCopy(QCoreApplication::applicationFilePath(), copy);
    return SetupResult::Completed;
}

void TfrmMain::arrangeAdminPages()
{
    showPage(m_ui->tabAdmin, false);
    if (!m_run.AdminMode)
        return;
    showPage(m_ui->tabAdmin, true);
    loadPhase(LoadPhase::Admin);
    m_ui->lblLatestVersion->setVisible(false);
    m_ui->txtExport->setVisible(true);
    m_ui->butExportCam->setVisible(true);
    m_ui->grpImpExp->setVisible(true);
}

// A screen-saver or configuration run uses the folder a normal run stored;
// false when there is none yet.
bool TfrmMain::resolveAppPath()
{
    if (m_run.ScreenSaverMode || m_run.ConfigMode) {
        m_run.AppPath = ReadRegString(LumettaKey, QStringLiteral("AppPath"), QString());
        if (m_run.AppPath.isEmpty()) {
            m_dialogs.showMessage(NoAppPathMessage);
            return false;
        }
    } else {
        m_run.AppPath = ResolveAppPath(QCoreApplication::applicationDirPath());
        WriteRegString(LumettaKey, QStringLiteral("AppPath"), m_run.AppPath);
    }
    return true;
}

void TfrmMain::loadWindowSettings()
{
    move(ReadRegInteger(LumettaKey, QStringLiteral("Left"), 200),
         ReadRegInteger(LumettaKey, QStringLiteral("Top"), 200));
    m_run.EnableAA = ReadRegInteger(LumettaKey, QStringLiteral("X-EnableAA"), 0);
    loadPhase(LoadPhase::Window);
    m_ui->SSInterval2->setMinimum(m_ui->SSInterval->value());
    updateIntervalSteps();
    applyCaptionBackground();
    refreshOptionDependents();
    m_run.SSTimer.setInterval(0);
}

// The list is built with the records, so whatever fails later in the
// start-up, the user never sees a list that disagrees with them.
void TfrmMain::loadCatalogueAndList()
{
    m_run.DataFileName = m_run.AppPath + DataFileBaseName;
    m_run.BackupFileName = m_run.AppPath + BackupFileBaseName;
    // Beside another run's show, the catalogue is read from a copy: that
    // run stays its one writer, whatever this one saves.
    if (m_run.ViewOnly) {
        m_viewOnlyFiles = std::make_unique<QTemporaryDir>();
        const QString copy = m_viewOnlyFiles->filePath(DataFileBaseName);
        QFile::copy(m_run.DataFileName, copy);
        m_run.DataFileName = copy;
        m_run.BackupFileName = m_viewOnlyFiles->filePath(BackupFileBaseName);
    }
    CreateCatalogueIfMissing(m_run.DataFileName);
    m_cat.load(loadCatalogueFile());
    RebuildSiteList();
}

void TfrmMain::loadDownloadFolder()
{
    const QString downloadDir =
        ReadRegString(LumettaKey, QStringLiteral("DownloadDir"), m_run.AppPath + QStringLiteral("images"));
    m_ui->edtDownloadDir->setText(downloadDir);
    m_run.SampleImageFile = WithTrailingSlash(downloadDir) + QStringLiteral("sample.jpg");
}

void TfrmMain::loadListLocations()
{
    const QString site = VendorSite();
    for (auto [name, path, url] : {std::tuple{QStringLiteral("L1"), MainListPath(), &m_run.MainListUrl},
                                   std::tuple{QStringLiteral("L2"), AdultListPath(), &m_run.AdultListUrl}}) {
        const ListLocation location =
            ResolveListLocation(ReadRegString(LumettaKey, name, QString()), site + path);
        if (!location.storeShifted.isEmpty())
            WriteRegString(LumettaKey, name, location.storeShifted);
        *url = location.url;
    }
}

void TfrmMain::selectStartingCam()
{
    const int selectedCam = ReadRegInteger(LumettaKey, QStringLiteral("SelectedCam"), 1);
    const int lastCam = m_run.AdminMode ? ReadRegInteger(LumettaKey, QStringLiteral("LastCam"), 1) : 0;
    if (m_cat.count() == 0)
        return;
    selectRow(m_run.AdminMode ? lastCam : selectedCam);
    SiteListClick();
}

// Starts the offline screen saver when there is no connection, else the
// slide show, which runs even while its button is disabled.
TfrmMain::SetupResult TfrmMain::startScreenSaver()
{
    const QString offlineSaver = m_ui->edtAltSS->text();
    // The network is asked only when there is an offline screen saver.
    if (offlineSaver.isEmpty() || m_shell.isInternetConnected())
        return startSlideShowAsScreenSaver();
    const QStringList arguments = OfflineSaverArguments(offlineSaver, XScreenSaverProgramFolders());
    // In a daemon's window the daemon watches this process: the offline
    // screen saver takes its place rather than leaving a "crash" behind.
    const bool started = ScreenSaverDaemonWindow() != 0 ? m_shell.runInstead(offlineSaver, arguments)
                                                        : m_shell.startProgram(offlineSaver, arguments);
    if (started)
        return SetupResult::OfflineSaverStarted;
    return startSlideShowAsScreenSaver();
}

TfrmMain::SetupResult TfrmMain::startSlideShowAsScreenSaver()
{
    showAdultOffersBox();
    butSlideshowClick();
    return SetupResult::Completed;
}

void TfrmMain::arrangeConfigPages()
{
    QTabWidget *pages = m_ui->PageControl1;
    for (QWidget *page : {m_ui->tabWebcams, m_ui->tabWebcamOptions, m_ui->tabTools})
        showPage(page, false);
    m_ui->butSlideshow->setVisible(false);
    m_ui->EnableAdultAds->setVisible(false);
    showAdultOffersBox();
    m_ui->ShowCaption->setVisible(true);
    pages->setTabText(pages->indexOf(m_ui->tabSlideShow), QStringLiteral(" Screen saver options"));
    pages->setCurrentWidget(m_ui->tabSlideShow);
}

void TfrmMain::FormDestroy()
{
    WriteRegInteger(LumettaKey, QStringLiteral("Top"), pos().y());
    WriteRegInteger(LumettaKey, QStringLiteral("Left"), pos().x());
    WriteRegInteger(LumettaKey, QStringLiteral("SelectedCam"), m_ui->SiteList->currentRow());
    // No write-back may reach the file once the records are gone.
    m_editorIndex = -1;
    m_cat.clear();
    m_run.SelectedCatList.clear();
    m_run.ImportList.clear();
}

// --- screen saver and vendor service ------------------------------------------

void TfrmMain::connectServiceTools()
{
    on(m_ui->butInstallSS, &QPushButton::clicked,
       [this] { InstallScreenSaver(m_dialogs, QCoreApplication::applicationFilePath()); });
    on(m_ui->butRemoveSS, &QPushButton::clicked, [this] { RemoveScreenSaver(m_dialogs); });
    on(m_ui->butDelRegistry, &QPushButton::clicked, [this] { DeleteRegistryEntries(m_dialogs); });
    on(m_ui->PageControl1, &QTabWidget::currentChanged, [this] { PageControl1Change(); });
    on(m_ui->butLastAd, &QPushButton::clicked, [this] { butLastAdClick(); });
}

// The pages' "show" handlers.
void TfrmMain::PageControl1Change()
{
    QWidget *page = m_ui->PageControl1->currentWidget();
    if (page == m_ui->tabTools)
        m_ui->lblRegistry->setText(
            QStringLiteral("You may want to do this if you have a problem and want to restart from scratch."));
    else if (page == m_ui->tabSupport)
        m_support->tabSupportShow();
}

void TfrmMain::butLastAdClick()
{
    const LastAd ad = FindLastAd(ReadRegString(LumettaKey, QStringLiteral("X-LastImage"), QString()),
                                 ReadRegString(LumettaKey, QStringLiteral("Xau"), QString()));
    m_run.SampleImageFile = ad.imageFile;
    m_run.show.AdLink = ad.link;
    if (!ad.found) {
        m_dialogs.showMessage(QStringLiteral("No ad found"));
        return;
    }
    m_run.show.ShowingAd = true;
    m_engine->display().DisplayImage();
}

} // namespace lumetta
