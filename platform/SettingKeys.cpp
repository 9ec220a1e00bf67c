#include "platform/SettingKeys.h"

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

} // namespace lumetta
