#pragma once
// HTTP Digest authentication (RFC 7616, and the RFC 2617 servers most
// cameras still run): reading a server's challenges and building the
// answer. Plain functions; the client decides when to use them.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

enum class DigestAlgorithm { Md5, Md5Sess, Sha256, Sha256Sess };

struct DigestChallenge {
    QString realm;
    QString nonce;
    QString opaque;  // echoed when the server sent one
    bool hasOpaque = false;
    DigestAlgorithm algorithm = DigestAlgorithm::Md5;
    bool qopAuth = false;  // false: the old form without qop, nc and cnonce
    bool stale = false;    // the nonce expired, the credentials were right
    bool userhash = false;
};

// A challenge's or a credential's auth-params, in order; names lower-cased.
using AuthParams = QList<QPair<QString, QString>>;
struct AuthChallenge {
    QString scheme;  // as sent
    AuthParams params;
};

// Every challenge of one WWW-Authenticate value ("Basic realm=x, Digest
// ..."). Nothing when the value is garbled: an unterminated quoted string,
// a control character, a value past the size limit.
std::optional<QList<AuthChallenge>> ParseAuthChallenges(const QString &value);

// The Digest challenge to answer among all WWW-Authenticate values of a
// reply: SHA-256 before MD5. Nothing when none can be answered (no realm
// or nonce, an unknown algorithm, a qop without "auth", an overlong value).
std::optional<DigestChallenge> ChooseDigestChallenge(const QStringList &values);

// Why the Digest challenge among these values cannot be answered ("algorithm
// SHA-512-256", "malformed challenge"); empty when none asks for Digest.
// For replies ChooseDigestChallenge finds nothing in.
QString DigestRefusal(const QStringList &values);

struct DigestRequest {
    QString user;
    QString password;
    QString method;  // "GET"
    QString uri;     // the request target as sent
    QString cnonce;
    quint32 nc = 1;
};

// The Authorization header's value: "Digest username=..., response=...".
QString DigestAuthorization(const DigestChallenge &challenge, const DigestRequest &request);

// A fresh client nonce from the system's random source: 32 hex digits.
QString NewClientNonce();

} // namespace lumetta
