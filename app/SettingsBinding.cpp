#include "app/SettingsBinding.h"

#include "app/RunState.h"
#include "app/SlideShowPage.h"
#include "app/WebcamPage.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "ui_TfrmMain.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimeEdit>
#include <functional>

namespace lumetta {

namespace {

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

SettingsBinding::SettingsBinding(const PageContext &context, SlideShowPage &slideShow, WebcamPage &webcams)
    : Page(context), m_slideShow(slideShow), m_webcams(webcams)
{
    for (const SettingSpec &entry : SettingsTable())
        connectSetting(entry);
}

// Each setting's control writes its value the moment the user changes it.
// A bounded box takes its key's range, which the show's reading applies too.
void SettingsBinding::connectSetting(const SettingSpec &entry)
{
    QObject *control = settingControl(entry);
    if (entry.range) {
        if (auto *spin = qobject_cast<QSpinBox *>(control))
            spin->setRange(entry.range->first, entry.range->second);
        else if (auto *slider = qobject_cast<QSlider *>(control))
            slider->setRange(entry.range->first, entry.range->second);
    }
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
QObject *SettingsBinding::settingControl(const SettingSpec &entry) const
{
    if (!entry.control)
        return nullptr;
    if (qstrcmp(entry.control, "optSSImageSize") == 0)
        return m_slideShow.imageSizeGroup();
    QObject *control = m_window->findChild<QObject *>(S(entry.control));
    Q_ASSERT_X(control, "TfrmMain", entry.control);
    return control;
}

void SettingsBinding::loadPhase(LoadPhase phase)
{
    for (const SettingSpec &entry : SettingsTable())
        if (entry.phase == phase && entry.control)
            loadSetting(entry);
}

void SettingsBinding::loadSetting(const SettingSpec &entry)
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
            m_slideShow.setCaptionColor(color);
        else if (control == m_ui->CaptionBG)
            m_slideShow.setCaptionBackground(color);
        else
            m_slideShow.setBackgroundColor(color);
        break;
    }
    case SettingType::Special:
        break;
    }
}

// The change handler of every setting control: store, then let the
// controls that depend on it follow.
void SettingsBinding::settingChanged(const SettingSpec &entry)
{
    QObject *control = settingControl(entry);
    if (const ControlAdapter *adapter = AdapterFor(control)) {
        const QVariant value = adapter->stored(control);
        const QString name = S(entry.name);
        const auto write = [&] {
            if (value.typeId() == QMetaType::Bool)
                WriteRegBool(LumettaKey, name, value.toBool());
            else if (value.typeId() == QMetaType::Int)
                WriteRegInteger(LumettaKey, name, value.toInt());
            else
                WriteRegString(LumettaKey, name, value.toString());
        };
        // Loading stores what it read back: a full store must not stop a
        // screen saver's start. The user's own change is refused aloud.
        if (m_loading)
            (void)TryStoreWrite(write);
        else
            write();
    }

    switch (entry.effect) {
    case SettingEffect::LatestVersionLabel:
        m_ui->lblLatestVersion->setVisible(!m_ui->VersionAlert->isChecked());
        break;
    case SettingEffect::CaptionBackground:
        m_slideShow.applyCaptionBackground();
        break;
    case SettingEffect::CaptionFont:
        m_slideShow.applyCaptionFont();
        if (m_window->isActiveWindow())
            emit captionFontSizeChanged(m_ui->CaptionFontSize->value());
        break;
    case SettingEffect::FastCamMinimum:
        m_ui->SSInterval2->setMinimum(m_ui->SSInterval->value());
        break;
    case SettingEffect::CountDependents:
        m_webcams.RefreshCountDependents();
        break;
    case SettingEffect::None:
        break;
    }
    updateIntervalSteps();
    refreshOptionDependents();
}

void SettingsBinding::refreshOptionDependents()
{
    OptionStates options;
    options.useProxy = m_ui->chkProxy->isChecked();
    options.random = m_ui->chkRandom->isChecked();
    options.showCurrentCamOnly = m_ui->ShowCurrentCamOnly->isChecked();
    options.disableMouseMoveDetect = m_ui->chkDisableMouseMoveDetect->isChecked();
    options.showCaption = m_ui->ShowCaption->isChecked();
    options.ssImageSize = m_slideShow.imageSizeGroup()->checkedId() == 1 ? 1 : 0;
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

void SettingsBinding::updateIntervalSteps()
{
    m_ui->SSInterval->setSingleStep(SlideIntervalStep(m_ui->SSInterval->value()));
    m_ui->SSInterval2->setSingleStep(SlideIntervalStep(m_ui->SSInterval2->value()));
}

} // namespace lumetta
