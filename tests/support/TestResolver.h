#pragma once
// Name resolution for network tests: names map to loopback addresses, a
// name can be made to hang forever, anything else is "Host not found".
#include "net/WSocket.h"

#include <QHash>
#include <QSet>
#include <QTimer>

namespace lumetta::test {

class TestResolver final : public HostResolver {
public:
    TestResolver &map(const QString &name, const QString &address = QStringLiteral("127.0.0.1"))
    {
        m_names.insert(name.toLower(), QHostAddress(address));
        return *this;
    }
    TestResolver &hangOn(const QString &name)
    {
        m_hanging.insert(name.toLower());
        return *this;
    }

    int lookup(const QString &host, Done done) override
    {
        const int ticket = ++m_next;
        if (m_hanging.contains(host.toLower()))
            return ticket;
        m_live.insert(ticket);
        QHostAddress address(host);
        if (address.isNull())
            address = m_names.value(host.toLower());
        QTimer::singleShot(0, &m_context, [this, ticket, address, done] {
            if (!m_live.remove(ticket))
                return;
            if (address.isNull())
                done(wsa::HostNotFound, {});
            else
                done(0, {address});
        });
        return ticket;
    }
    void cancel(int ticket) override { m_live.remove(ticket); }

private:
    QObject m_context;
    int m_next = 0;
    QHash<QString, QHostAddress> m_names;
    QSet<QString> m_hanging;
    QSet<int> m_live;
};

} // namespace lumetta::test
