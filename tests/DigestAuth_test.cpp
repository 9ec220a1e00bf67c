#include "net/DigestAuth.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// The value of one parameter of an Authorization header we built.
QString Param(const QString &header, const QString &name)
{
    const QRegularExpression re(QStringLiteral("[ ,]%1=(\"((?:[^\"\\\\]|\\\\.)*)\"|[^,]*)").arg(name));
    const QRegularExpressionMatch m = re.match(header);
    return !m.hasMatch() ? QStringLiteral("<none>") : m.captured(2).isNull() ? m.captured(1) : m.captured(2);
}

const QString Rfc7616Nonce = "7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v";
const QString Rfc7616Cnonce = "f2/wE4q74E6zIJEtWaHKaf5wv/H5QzzpXusqGemxURZJ";
const QString Rfc7616Opaque = "FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS";

QString Rfc7616Challenge(const QString &algorithm, const QString &more = {})
{
    return "Digest realm=\"http-auth@example.org\", qop=\"auth, auth-int\", algorithm=" + algorithm + ", nonce=\""
           + Rfc7616Nonce + "\", opaque=\"" + Rfc7616Opaque + "\"" + more;
}

} // namespace

TEST(DigestAuth, AnswersAgainstTheRfcExamples)
{
    struct Case { const char *description; QString challenge, response, opaque, username = "Mufasa"; };
    const QString sha256 = "753927fa0e85d155564e2e272a28d1802ca10daf4496794697cf8db5856cb6c1";
    const Case cases[] = {
        {"RFC 7616 MD5", Rfc7616Challenge("MD5"), "8ca523f5e9506fed4657c9700eebdbec", Rfc7616Opaque},
        {"RFC 7616 SHA-256", Rfc7616Challenge("SHA-256"), sha256, Rfc7616Opaque},
        {"MD5-sess", Rfc7616Challenge("MD5-sess"), "e783283f46242139c486a698fec7211d", Rfc7616Opaque},
        {"SHA-256-sess", Rfc7616Challenge("SHA-256-sess"),
         "2fd51b3a77ad75bad6afad6003e818d767133c46d9e2749e7f5232ae1ea3efd7", Rfc7616Opaque},
        {"userhash hides the name", Rfc7616Challenge("SHA-256", ", userhash=true"), sha256, Rfc7616Opaque,
         "a947aad205e80e429958a387394944c6b496301e79f89d35a4cc23b6ee12b5b6"},
        {"old server without qop", "Digest realm=\"http-auth@example.org\", nonce=\"" + Rfc7616Nonce + "\"",
         "7b2cc3b30e75b4777ea31027084363fd", "<none>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        const auto challenge = ChooseDigestChallenge({c.challenge});
        ASSERT_TRUE(challenge);
        const QString header =
            DigestAuthorization(*challenge, {"Mufasa", "Circle of Life", "GET", "/dir/index.html", Rfc7616Cnonce, 1});
        EXPECT_TRUE(header.startsWith("Digest ")) << header.toStdString();
        EXPECT_EQ(Param(header, "response"), c.response) << header.toStdString();
        EXPECT_EQ(Param(header, "username"), c.username);
        EXPECT_EQ(Param(header, "userhash"), challenge->userhash ? "true" : "<none>");
        EXPECT_EQ(Param(header, "uri"), "/dir/index.html");
        EXPECT_EQ(Param(header, "nonce"), challenge->nonce);
        EXPECT_EQ(Param(header, "nc"), challenge->qopAuth ? "00000001" : "<none>");
        EXPECT_EQ(Param(header, "qop"), challenge->qopAuth ? "auth" : "<none>");
        EXPECT_EQ(Param(header, "opaque"), c.opaque);
    }
}

TEST(DigestAuth, ChallengesGoodAndHostile)
{
    struct Case { const char *description; QStringList values; bool usable; QString refusal = {};  // when not usable
                  DigestAlgorithm algorithm = DigestAlgorithm::Md5; bool stale = false; QString realm = "r"; };
    const QString longest(1024, u'n');
    const QString malformed = "malformed challenge";
    const Case cases[] = {
        {"Basic alone", {"Basic realm=\"r\""}, false},
        {"Digest among other schemes in one value, SHA-256 chosen",
         {"Basic realm=\"r\", Digest realm=\"r\", nonce=\"a\", Digest realm=\"r\", nonce=\"b\", algorithm=SHA-256"},
         true, {}, DigestAlgorithm::Sha256},
        {"one challenge per header line", {"Basic realm=\"r\"", "digest REALM=r, NONCE=x, STALE=TRUE"}, true, {},
         DigestAlgorithm::Md5, true},
        {"escaped quote in the realm", {"Digest realm=\"a \\\"b\\\"\", nonce=x"}, true, {}, DigestAlgorithm::Md5, false,
         "a \"b\""},
        {"unterminated quoted string", {"Digest realm=\"r, nonce=\"x"}, false, malformed},
        {"backslash at the very end", {"Digest realm=\"r\", nonce=\"x\\"}, false, malformed},
        {"parameters without commas", {"Basic realm=x", "Digest realm=\"r\" nonce=\"x\""}, false, malformed},
        {"no nonce", {"Digest realm=\"r\""}, false, "no realm or nonce"},
        {"unknown algorithm", {"Digest realm=r, nonce=x, algorithm=SHA-512-256"}, false, "algorithm SHA-512-256"},
        {"an endless algorithm name is cut", {"Digest realm=r, nonce=x, algorithm=" + QString(40, u'a')}, false,
         "algorithm " + QString(32, u'a')},
        {"qop auth-int only", {"Digest realm=r, nonce=x, qop=\"auth-int\""}, false, "qop auth-int"},
        {"the longest nonce", {"Digest realm=r, nonce=\"" + longest + "\""}, true},
        {"overlong nonce", {"Digest realm=r, nonce=\"" + longest + "n\""}, false, "overlong challenge"},
        {"overlong value", {"Digest realm=r, nonce=x, x=\"" + QString(8200, u'x') + "\""}, false, malformed},
        {"commas and blanks before it", {" ,\t, Digest realm=r, nonce=y"}, true},
        {"line break inside a quoted value", {"Digest realm=\"r\r\nX-Evil: 1\", nonce=x"}, false, malformed},
        {"garbage", {"=,,\"\"=", "Digest", ",,,", QString(9000, u'x')}, false, "no realm or nonce"},
        {"garbled, but no Digest in it", {"Basic realm=\"r", "Digestive x"}, false},
        {"a garbled value beside a good one", {"Digest realm=\"r", "Digest realm=r, nonce=y"}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.description);
        const auto d = ChooseDigestChallenge(c.values);
        ASSERT_EQ(d.has_value(), c.usable);
        if (!d) {
            EXPECT_EQ(DigestRefusal(c.values), c.refusal);
            continue;
        }
        EXPECT_EQ(d->algorithm, c.algorithm);
        EXPECT_EQ(d->stale, c.stale);
        EXPECT_EQ(d->realm, c.realm);
        const QString header = DigestAuthorization(*d, {"u", "p", "GET", "/", "c", 1});
        EXPECT_EQ(Param(header, "realm"), QString(c.realm).replace("\"", "\\\""));
    }
}

TEST(DigestAuth, ClientNoncesAreFresh)
{
    const QString a = NewClientNonce();
    EXPECT_EQ(a.size(), 32);
    EXPECT_NE(a, NewClientNonce());
}
