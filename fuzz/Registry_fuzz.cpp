// A damaged settings file loads what it can; what it writes back must read
// back the same.
#include "platform/Registry.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const lumetta::RegistryFile reg = lumetta::RegistryFile::parse(bytes);
    const QByteArray written = reg.serialize();
    if (lumetta::RegistryFile::parse(written).serialize() != written)
        __builtin_trap();
    return 0;
}
