#pragma once
// The decode worker's side: it shuts itself in, then answers one picture
// after another on its channel until the program closes it.
#include "imaging/Picture.h"

#include <QByteArrayView>
#include <QSize>
#include <QString>

// Builds under AddressSanitizer give the worker no address-space limit
// and no crash reports.
#if defined(__SANITIZE_ADDRESS__)
#define LUMETTA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMETTA_ADDRESS_SANITIZER 1
#endif
#endif

namespace lumetta {

using DecodeFunction = DecodedPicture (*)(PictureFormat format, QByteArrayView data, QSize shownSize);

// Drops every right decoding does not need: no new privileges, limits on
// memory and CPU, no descriptor but channel (and /dev/null as 0, 1, 2),
// and a filter that kills the process on any other system call. Empty when
// all of it holds, else what could not be set up.
QString EnterDecodeSandbox(int channel);

// The worker's whole life: says Ready (or NoSandbox, and ends), then
// decodes each request with decode. The exit code.
int RunDecodeWorker(int channel, DecodeFunction decode);

} // namespace lumetta
