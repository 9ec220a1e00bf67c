// A damaged settings file loads what it can; a write into it reads back,
// and writing the same value again changes nothing.
#include "platform/RegistryFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace lumetta;
    const QString LumettaKey = QStringLiteral("Software\\Korvane Software\\Lumetta");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    RegistryFile reg = RegistryFile::parse(bytes);
    const bool foreign = reg.isForeign();
    const QStringList keysBefore = reg.keys();
    RegValue value;
    value.text = QStringLiteral("a \"quoted\" \\ text\r\n");
    reg.setValue(LumettaKey, QStringLiteral("Fuzz"), value);

    const RegistryFile reread = RegistryFile::parse(reg.content());
    const auto back = reread.value(LumettaKey, QStringLiteral("Fuzz"));
    if (reread.isForeign() || !back || back->text != value.text)
        __builtin_trap();
    for (const QString &key : keysBefore)
        if (!foreign && !reread.hasKey(key))
            __builtin_trap();
    RegistryFile again = reread;
    if (again.setValue(LumettaKey, QStringLiteral("Fuzz"), value) || again.content() != reread.content())
        __builtin_trap();

    // Further writes on the store as changed and on the same bytes read
    // afresh give the same file.
    RegValue number;
    number.type = RegValue::Type::Dword;
    number.number = 7;
    RegistryFile fresh = reread;
    for (RegistryFile *r : {&reg, &fresh}) {
        r->setValue(LumettaKey, QStringLiteral("Fuzz"), number);
        r->setValue(LumettaKey, QStringLiteral("Second"), value);
        r->setValue(LumettaKey, QStringLiteral("fuzz"), value);
    }
    if (reg.content() != fresh.content())
        __builtin_trap();
    return 0;
}
