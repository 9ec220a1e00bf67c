#pragma once
// The file a response body is written to. It is made afresh (never through
// a link planted under its name), holds at most a fixed number of bytes,
// and remembers a write that did not reach the disk, since the client does
// not look at what its writes return.
#include <QFile>
#include <functional>

namespace lumetta {

// No picture or list comes near this; a reply beyond it is ended unread.
inline constexpr qint64 MaxDownloadBytes = qint64(64) << 20;

class ResponseFile final : public QFile {
public:
    // endRequest runs once, from the event loop, when the limit is passed.
    ResponseFile(const QString &name, std::function<void()> endRequest, qint64 limit = MaxDownloadBytes);
    bool open();  // unbuffered, so every write is checked
    bool complete() const { return !m_failure; }
    bool tooLarge() const { return m_tooLarge; }
    qint64 limit() const { return m_limit; }

protected:
    qint64 writeData(const char *data, qint64 length) override;

private:
    std::function<void()> m_endRequest;
    qint64 m_limit;
    bool m_failure = false;
    bool m_tooLarge = false;
};

} // namespace lumetta
