#pragma once
// The HTTP client's own failures, each code with its text in one table.
// RequestDoneError and EHttpException carry these codes, or a Winsock code
// from the socket (10000 and up), never both for one failure.
#include <QString>

#include <iterator>

namespace lumetta {

namespace httperr {
enum Code : int {
    Busy = 1,
    NothingToPost,
    Aborted,
    LineTooLong,
    HeaderTooLong,
    TooManyRelocations,
    ControlCharacter,
    ProxyRefused,
    ProxyClosed,
    ProxyReplyBad,
    CutShort,
    BadChunk,
    StreamNoBoundary,
    StreamNoPart,
    StreamPartTooLarge,
    StreamCut,
    StreamBadPart,
    DigestUnanswerable,
    OtherScheme,
    EndOfCodes  // not a code: one past the last
};
} // namespace httperr

struct HttpErrorEntry {
    int code;
    const char *text;  // %1, %2: filled in where the failure is raised
};

inline constexpr HttpErrorEntry HttpErrorTable[] = {
    {httperr::Busy, "HTTP component is busy"},
    {httperr::NothingToPost, "HTTP component has nothing to post"},
    {httperr::Aborted, "Connection aborted on request"},
    {httperr::LineTooLong, "HTTP line too long"},
    {httperr::HeaderTooLong, "HTTP header too long"},
    {httperr::TooManyRelocations, "Too many relocations (more than %1)"},
    {httperr::ControlCharacter, "%1 holds a control character"},
    {httperr::ProxyRefused, "Proxy refused the tunnel: %1 %2"},
    {httperr::ProxyClosed, "Proxy closed the connection before the tunnel opened"},
    {httperr::ProxyReplyBad, "Proxy tunnel failed: %1"},
    {httperr::CutShort, "HTTP reply cut short"},
    {httperr::BadChunk, "HTTP chunk malformed"},
    {httperr::StreamNoBoundary, "MJPEG stream names no boundary"},
    {httperr::StreamNoPart, "MJPEG stream reached no part boundary"},
    {httperr::StreamPartTooLarge, "MJPEG picture larger than %1 MB"},
    {httperr::StreamCut, "MJPEG stream ended before its first picture was whole"},
    {httperr::StreamBadPart, "MJPEG part header too long"},
    {httperr::DigestUnanswerable, "Server asks for a Digest authentication Lumetta cannot answer: %1"},
    {httperr::OtherScheme, "%1 %2://, not http or https"},
};

// Row i holds code i + 1, so every code has exactly one text.
constexpr bool HttpErrorTableIsComplete()
{
    if (std::size(HttpErrorTable) != httperr::EndOfCodes - 1)
        return false;
    for (std::size_t i = 0; i < std::size(HttpErrorTable); ++i)
        if (HttpErrorTable[i].code != int(i) + 1)
            return false;
    return true;
}
static_assert(HttpErrorTableIsComplete(), "every httperr code needs its row, in order");

inline QString HttpErrorText(int code)
{
    if (code >= 1 && code < httperr::EndOfCodes)
        return QString::fromLatin1(HttpErrorTable[code - 1].text);
    return QStringLiteral("HTTP error %1").arg(code);
}

} // namespace lumetta
