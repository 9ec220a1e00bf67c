#pragma once
// A webcam's validators (the server's own "ETag" and "Last-Modified" text)
// kept in a small file beside its picture, so the next fetch can ask for
// the picture only if it changed. The catalogue's format stays as it is.
#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

struct PictureValidators {
    QString url;  // the image URL they were given for
    QString etag;
    QString lastModified;
    bool isEmpty() const { return etag.isEmpty() && lastModified.isEmpty(); }
};

// Beside the picture: "snap.jpg" keeps them in "snap.jpg.validators".
QString ValidatorsFileOf(const QString &picture);

// The validators a response brings (its last response's header lines);
// values with control characters or past 1024 characters are left out.
PictureValidators ValidatorsOf(const QString &url, const QStringList &finalHeader);

// Nothing when the file is missing, too large, a link, or garbled.
std::optional<PictureValidators> ReadValidators(const QString &picture);
// Replaces the file whole; empty validators remove it. False when the file
// could not be written (the old one is then removed, so no stale
// validators outlive their picture). The URL is kept without credentials.
bool WriteValidators(const QString &picture, const PictureValidators &validators);

// Beside the picture: "snap.jpg.digest" holds the origin whose server asked
// for Digest, so that the next run sends it no Basic at all.
QString DigestNoteFileOf(const QString &picture);
// Empty when there is no usable note.
QString ReadDigestNote(const QString &picture);
bool WriteDigestNote(const QString &picture, const QString &origin);

// The download folder's files are the user's alone, whatever the umask: path
// is made a private (0600) regular file, which an atomic replace keeps. A
// file there loses the rights of others; a link or other non-file there
// gives way to an empty file. Failed for a folder or an error.
enum class PrivateTarget { Failed, Existing, Created };
PrivateTarget MakePrivateTarget(const QString &path);

} // namespace lumetta
