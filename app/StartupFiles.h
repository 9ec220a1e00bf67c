#pragma once
// What the main window's set-up reads and refreshes outside the store:
// the vendor's list locations, the installed screen-saver copy and the help text.
#include "platform/Platform.h"  // VendorSite
#include "platform/Registry.h"  // StoredTextShift
#include <QString>

namespace lumetta {


QString MainListPath();   // "/lists/webcams.lst"
QString AdultListPath();  // "/lists/adult.lst"

struct ListLocation {
    QString url;          // plain text, ready to fetch
    QString storeShifted; // non-empty when the default must be written first
};

// stored: the shifted text as read from the store (empty when absent).
ListLocation ResolveListLocation(const QString &stored, const QString &defaultUrl);


// Copies the running program over an installed copy whose modification time
// differs; the copy then carries the program's time so the next start leaves
// it alone. Returns true when it copied. Failures are not reported.
bool RefreshInstalledCopy(const QString &program, const QString &installedCopy);

// 8-bit text of a small regular file; empty when it cannot be read or is
// larger than 1 MB.
QString ReadLatin1File(const QString &path);

} // namespace lumetta
