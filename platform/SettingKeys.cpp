#include "platform/SettingKeys.h"

#include "common/Errors.h"
#include "platform/Guarded.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

namespace lumetta {

bool ReadSetting(const FlagKey &key)
{
    return ReadRegBool(key.key, key.valueName(), key.defaultValue);
}

int ReadSetting(const IntegerKey &key)
{
    return ReadRegInteger(key.key, key.valueName(), key.defaultValue);
}

QString ReadSetting(const TextKey &key)
{
    return ReadRegString(key.key, key.valueName(), QString::fromLatin1(key.defaultValue));
}

QString ReadSetting(const TextKey &key, const QString &runtimeDefault)
{
    return ReadRegString(key.key, key.valueName(), runtimeDefault);
}

QColor ReadSetting(const ColourKey &key)
{
    return ColorFromStored(ReadRegInteger(key.key, key.valueName(), key.defaultValue.value));
}

int ReadSetting(const RangeKey &key)
{
    return std::clamp(ReadSetting(key.stored), key.minimum, key.maximum);
}

// Kept as the time box keeps it: the time of day, to the millisecond. Text
// that is no time reads as the default.
TDateTime ReadSetting(const TimeKey &key)
{
    const std::optional<TDateTime> value = TryParseTimeText(ReadSetting(key.stored));
    return ValueFromTime(TimeFromValue(value ? *value : ParseTimeText(QString::fromLatin1(key.stored.defaultValue))));
}

void WriteSetting(const FlagKey &key, bool value)
{
    WriteRegBool(key.key, key.valueName(), value);
}

void WriteSetting(const IntegerKey &key, int value)
{
    WriteRegInteger(key.key, key.valueName(), value);
}

void WriteSetting(const TextKey &key, const QString &value)
{
    WriteRegString(key.key, key.valueName(), value);
}

void WriteSetting(const ColourKey &key, const QColor &value)
{
    WriteRegInteger(key.key, key.valueName(), ColorToStored(value));
}

bool TryStoreWrite(const std::function<void()> &write)
{
    try {
        write();
        return true;
    } catch (const RegistryError &e) {
        static bool reported = false;
        if (std::exchange(reported, true))
            return false;
        const QString message = e.message();
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [message] { ReportError(message); }, Qt::QueuedConnection);
        else
            ReportError(message);
        return false;
    }
}

bool TryWriteSetting(const IntegerKey &key, int value)
{
    return TryStoreWrite([&] { WriteSetting(key, value); });
}

bool TryWriteSetting(const TextKey &key, const QString &value)
{
    return TryStoreWrite([&] { WriteSetting(key, value); });
}

} // namespace lumetta
