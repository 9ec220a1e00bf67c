#pragma once
// A full disk without root: the work runs in a forked child whose files may
// not grow past a limit, so a write fails part-way (EFBIG, with SIGXFSZ
// ignored) exactly where a full disk would stop it.
#include <QString>
#include <QtGlobal>
#include <functional>

namespace lumetta::test {

struct ChildOutcome {
    bool exited = false;  // false: the child died of a signal
    QString text;         // what the work reported, or an escaped exception's text
};

// work runs in the child and returns the child's exit code; text is handed
// back to the parent. Test assertions do not work inside work: report instead.
ChildOutcome RunWithFileSizeLimit(qint64 limitBytes, const std::function<int(QString &text)> &work);

} // namespace lumetta::test
