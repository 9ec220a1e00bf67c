// WWW-Authenticate values from a server, one per line: choosing a Digest
// challenge must not crash, and the answer built from it must stay one
// header line that reads back with the same realm, nonce and opaque.
#include "net/DigestAuth.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString ParamOf(const lumetta::AuthChallenge &c, const char *name)
{
    for (const auto &p : c.params)
        if (p.first == QLatin1String(name))
            return p.second;
    return QStringLiteral("<none>");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto challenge = lumetta::ChooseDigestChallenge(text.split(u'\n'));
    if (!challenge)
        return 0;
    const QString answer = lumetta::DigestAuthorization(*challenge, {"user", "password", "GET", "/a?b", "cn", 7});
    if (answer.contains(u'\r') || answer.contains(u'\n'))
        std::abort();
    const auto back = lumetta::ParseAuthChallenges(answer);
    if (!back || back->size() != 1 || ParamOf(back->first(), "realm") != challenge->realm
        || ParamOf(back->first(), "nonce") != challenge->nonce
        || (challenge->hasOpaque && ParamOf(back->first(), "opaque") != challenge->opaque))
        std::abort();
    return 0;
}
