#include "net/DigestAuth.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace lumetta {

namespace {

// A header line is bounded already; these bound what one challenge may
// make us echo back.
constexpr qsizetype MaxValueLength = 1024;
constexpr int MaxParams = 64;

bool IsTokenChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u <= 0x20 || u >= 0x7F)
        return false;
    return !QStringView(u"()<>@,;:\\\"/[]?={}").contains(c);
}

class Reader {
public:
    explicit Reader(const QString &text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    void skipBlanks()
    {
        while (!atEnd() && (peek() == u' ' || peek() == u'\t'))
            ++m_pos;
    }
    QString token()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && IsTokenChar(peek()))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }
    // After the opening quote; nothing when the string never closes.
    std::optional<QString> quoted()
    {
        QString out;
        for (++m_pos; !atEnd(); ++m_pos) {
            QChar c = peek();
            if (c == u'"') {
                ++m_pos;
                return out;
            }
            if (c == u'\\') {
                if (++m_pos >= m_text.size())
                    return std::nullopt;
                c = peek();
            }
            out += c;
        }
        return std::nullopt;
    }
    qsizetype pos() const { return m_pos; }
    void setPos(qsizetype pos) { m_pos = pos; }
    bool take(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }

private:
    const QString &m_text;
    qsizetype m_pos = 0;
};

// A tab is a blank in a header; every other control character is refused.
bool HasControl(const QString &text)
{
    for (QChar c : text)
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F)
            return true;
    return false;
}

QString ParamOf(const AuthParams &params, const char *name)
{
    for (const auto &p : params)
        if (p.first == QLatin1String(name))
            return p.second;
    return {};
}

bool HasParam(const AuthParams &params, const char *name)
{
    for (const auto &p : params)
        if (p.first == QLatin1String(name))
            return true;
    return false;
}

std::optional<DigestAlgorithm> AlgorithmNamed(const QString &name)
{
    if (name.isEmpty() || name.compare(QLatin1String("MD5"), Qt::CaseInsensitive) == 0)
        return DigestAlgorithm::Md5;
    if (name.compare(QLatin1String("MD5-sess"), Qt::CaseInsensitive) == 0)
        return DigestAlgorithm::Md5Sess;
    if (name.compare(QLatin1String("SHA-256"), Qt::CaseInsensitive) == 0)
        return DigestAlgorithm::Sha256;
    if (name.compare(QLatin1String("SHA-256-sess"), Qt::CaseInsensitive) == 0)
        return DigestAlgorithm::Sha256Sess;
    return std::nullopt;
}

bool IsSha256(DigestAlgorithm a)
{
    return a == DigestAlgorithm::Sha256 || a == DigestAlgorithm::Sha256Sess;
}

bool IsSess(DigestAlgorithm a)
{
    return a == DigestAlgorithm::Md5Sess || a == DigestAlgorithm::Sha256Sess;
}

const char *AlgorithmName(DigestAlgorithm a)
{
    switch (a) {
    case DigestAlgorithm::Md5: return "MD5";
    case DigestAlgorithm::Md5Sess: return "MD5-sess";
    case DigestAlgorithm::Sha256: return "SHA-256";
    case DigestAlgorithm::Sha256Sess: return "SHA-256-sess";
    }
    return "MD5";
}

// Server text in our reasons stays short.
QString Cut(const QString &text)
{
    return text.left(32);
}

bool IsDigest(const QString &scheme)
{
    return scheme.compare(QLatin1String("Digest"), Qt::CaseInsensitive) == 0;
}

// why, when given, learns what makes a Digest challenge unanswerable.
std::optional<DigestChallenge> DigestOf(const AuthChallenge &c, QString *why = nullptr)
{
    QString ignored;
    QString &reason = why ? *why : ignored;
    if (!IsDigest(c.scheme))
        return std::nullopt;
    DigestChallenge d;
    d.realm = ParamOf(c.params, "realm");
    d.nonce = ParamOf(c.params, "nonce");
    d.opaque = ParamOf(c.params, "opaque");
    d.hasOpaque = HasParam(c.params, "opaque");
    if (!HasParam(c.params, "realm") || d.nonce.isEmpty()) {
        reason = QStringLiteral("no realm or nonce");
        return std::nullopt;
    }
    for (const QString *v : {&d.realm, &d.nonce, &d.opaque}) {
        if (v->size() > MaxValueLength) {
            reason = QStringLiteral("overlong challenge");
            return std::nullopt;
        }
    }
    const QString algorithmName = ParamOf(c.params, "algorithm");
    const auto algorithm = AlgorithmNamed(algorithmName);
    if (!algorithm) {
        reason = QLatin1String("algorithm ") + Cut(algorithmName);
        return std::nullopt;
    }
    d.algorithm = *algorithm;
    if (HasParam(c.params, "qop")) {
        const QString qop = ParamOf(c.params, "qop");
        for (const QString &q : qop.split(u','))
            d.qopAuth = d.qopAuth || q.trimmed().compare(QLatin1String("auth"), Qt::CaseInsensitive) == 0;
        if (!d.qopAuth) {
            reason = QLatin1String("qop ") + Cut(qop);
            return std::nullopt;  // auth-int alone: a body we would have to hash
        }
    }
    d.stale = ParamOf(c.params, "stale").compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    d.userhash = ParamOf(c.params, "userhash").compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    return d;
}

QString Hex(DigestAlgorithm a, const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), IsSha256(a) ? QCryptographicHash::Sha256 : QCryptographicHash::Md5)
            .toHex());
}

QString Quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

} // namespace

std::optional<QList<AuthChallenge>> ParseAuthChallenges(const QString &value)
{
    if (value.size() > 8 * 1024 || HasControl(value))
        return std::nullopt;
    QList<AuthChallenge> out;
    Reader r(value);
    while (true) {
        while (r.take(u',') || r.peek() == u' ' || r.peek() == u'\t')
            r.skipBlanks();
        if (r.atEnd())
            break;
        AuthChallenge c;
        c.scheme = r.token();
        if (c.scheme.isEmpty())
            return std::nullopt;
        r.skipBlanks();
        // Parameters until a token that is not followed by "=": the next scheme.
        while (!r.atEnd()) {
            const qsizetype start = r.pos();
            const QString name = r.token();
            r.skipBlanks();
            if (name.isEmpty() && r.peek() != u',')
                return std::nullopt;
            if (!r.take(u'=')) {
                if (!name.isEmpty()) {
                    r.setPos(start);  // a new challenge begins here
                    break;
                }
                r.take(u',');
                r.skipBlanks();
                continue;
            }
            r.skipBlanks();
            QString v;
            if (r.peek() == u'"') {
                const auto q = r.quoted();
                if (!q)
                    return std::nullopt;
                v = *q;
            } else {
                v = r.token();
                while (r.take(u'=')) {
                    // the padding of a token68, which Digest never uses
                }
            }
            if (c.params.size() >= MaxParams)
                return std::nullopt;
            c.params.append({name.toLower(), v});
            r.skipBlanks();
            if (r.atEnd())
                break;
            if (!r.take(u','))
                return std::nullopt;
            r.skipBlanks();
        }
        out.append(c);
    }
    return out;
}

std::optional<DigestChallenge> ChooseDigestChallenge(const QStringList &values)
{
    std::optional<DigestChallenge> best;
    for (const QString &value : values) {
        const auto challenges = ParseAuthChallenges(value);
        if (!challenges)
            continue;
        for (const AuthChallenge &c : *challenges) {
            const auto d = DigestOf(c);
            if (d && (!best || (IsSha256(d->algorithm) && !IsSha256(best->algorithm))))
                best = d;
        }
    }
    return best;
}

QString DigestRefusal(const QStringList &values)
{
    for (const QString &value : values) {
        const auto challenges = ParseAuthChallenges(value);
        if (!challenges) {
            // Garbled: whether it asked for Digest is read word by word.
            for (const QString &word : value.split(QRegularExpression(QStringLiteral("[ \t,]"))))
                if (IsDigest(word))
                    return QStringLiteral("malformed challenge");
            continue;
        }
        for (const AuthChallenge &c : *challenges) {
            QString why;
            if (!DigestOf(c, &why) && !why.isEmpty())
                return why;
        }
    }
    return {};
}

QString DigestAuthorization(const DigestChallenge &c, const DigestRequest &r)
{
    const DigestAlgorithm a = c.algorithm;
    const QString nc = QStringLiteral("%1").arg(r.nc, 8, 16, QLatin1Char('0'));
    QString ha1 = Hex(a, r.user + u':' + c.realm + u':' + r.password);
    if (IsSess(a))
        ha1 = Hex(a, ha1 + u':' + c.nonce + u':' + r.cnonce);
    const QString ha2 = Hex(a, r.method + u':' + r.uri);
    const QString response = c.qopAuth
                                 ? Hex(a, ha1 + u':' + c.nonce + u':' + nc + u':' + r.cnonce + QLatin1String(":auth:") + ha2)
                                 : Hex(a, ha1 + u':' + c.nonce + u':' + ha2);
    const QString user = c.userhash ? Hex(a, r.user + u':' + c.realm) : r.user;
    QString out = QLatin1String("Digest username=") + Quoted(user) + QLatin1String(", realm=") + Quoted(c.realm)
                  + QLatin1String(", uri=") + Quoted(r.uri) + QLatin1String(", algorithm=")
                  + QLatin1String(AlgorithmName(a)) + QLatin1String(", nonce=") + Quoted(c.nonce);
    if (c.qopAuth || IsSess(a))
        out += QLatin1String(", cnonce=") + Quoted(r.cnonce);
    if (c.qopAuth)
        out += QLatin1String(", nc=") + nc + QLatin1String(", qop=auth");
    out += QLatin1String(", response=") + Quoted(response);
    if (c.hasOpaque)
        out += QLatin1String(", opaque=") + Quoted(c.opaque);
    if (c.userhash)
        out += QLatin1String(", userhash=true");
    return out;
}

QString NewClientNonce()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex());
}

} // namespace lumetta
