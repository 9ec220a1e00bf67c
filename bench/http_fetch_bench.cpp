// Fetches a 200 KB and a 20 MB body from a loopback server with
// GetUrlToFile and with curl in the same run and prints the medians and
// their ratio; then measures the CPU the UI thread spends while Get waits
// 5 seconds for a server that answers late.
//
//   http_fetch_bench [runs] [--overwrite]
//
// Each run writes a new file on both sides; with --overwrite both write
// over the file of the previous run, which adds the file system's cost of
// truncating 20 MB to both.
#include "download/ImageFetch.h"
#include "net/HttpCli.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace lumetta;

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A plain HTTP/1.0 server on 127.0.0.1 in its own thread: one response per
// connection, body written with send() straight from memory, optional
// delay before the answer.
class BenchServer {
public:
    struct Resource {
        std::string body;
        int delayMs = 0;
    };

    explicit BenchServer(std::map<std::string, Resource> resources) : m_resources(std::move(resources))
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
        ::listen(m_fd, 16);
        socklen_t len = sizeof addr;
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~BenchServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    QString url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }

private:
    void run()
    {
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int c = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0)
                continue;
            serve(c);
            ::close(c);
        }
    }
    void serve(int c)
    {
        std::string request;
        char buf[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0)
                return;
            request.append(buf, size_t(n));
        }
        const size_t start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        const auto it = m_resources.find(path);
        if (it == m_resources.end())
            return;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(it->second.delayMs);
        while (!m_stop && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::string &body = it->second.body;
        const std::string header = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                                   + std::to_string(body.size()) + "\r\n\r\n";
        if (::send(c, header.data(), header.size(), MSG_NOSIGNAL) < 0)
            return;
        size_t sent = 0;
        while (sent < body.size()) {
            const ssize_t n = ::send(c, body.data() + sent, body.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += size_t(n);
        }
        ::shutdown(c, SHUT_WR);
        while (::recv(c, buf, sizeof buf, 0) > 0) {
        }
    }

    std::map<std::string, Resource> m_resources;
    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

double CpuMs(int who)
{
    rusage u{};
    ::getrusage(who, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 7;
    bool overwrite = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--overwrite") == 0)
            overwrite = true;
        else
            runs = std::max(1, atoi(argv[i]));
    }

    std::string small(200 * 1024, '\0');
    std::string large(20 * 1024 * 1024, '\0');
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = char(i * 2654435761u >> 13);
    std::copy(large.begin(), large.begin() + small.size(), small.begin());
    BenchServer server({{"/small", {small, 0}}, {"/large", {large, 0}}, {"/late", {small, 5000}}});

    QTemporaryDir dir;
    const QString appPath = dir.path() + u'/';
    THttpCli http;
    ImageFetch fetch(http, appPath, [] { return FetchSettings(); });

    QProcess probe;
    probe.start(QStringLiteral("curl"), {QStringLiteral("--version")});
    const bool haveCurl = probe.waitForFinished(10000) && probe.exitCode() == 0;

    std::printf("http_fetch_bench: loopback HTTP/1.0, %d runs each after one warm-up, medians, %s\n", runs,
                overwrite ? "each run over the last run's file" : "each run into a new file");
    std::printf("%-8s %14s %18s %18s %16s\n", "body", "GetUrlToFile", "curl (own timer)", "curl (with start)",
                "ratio to curl");
    bool ok = true;
    for (const auto &[name, path, bytes] : {std::tuple{"200 KB", "/small", small.size()},
                                            std::tuple{"20 MB", "/large", large.size()}}) {
        std::vector<double> ours, curlOwn, curlWall;
        const QString file = appPath + QStringLiteral("body.bin");
        const QString curlFile = appPath + QStringLiteral("curl.bin");
        for (int i = 0; i <= runs; ++i) {
            if (!overwrite) {
                QFile::remove(file);
                QFile::remove(curlFile);
            }
            QElapsedTimer t;
            t.start();
            const FetchResult fetched = fetch.GetUrlToFile(server.url(path), file, 0);
            const double ms = t.nsecsElapsed() / 1e6;
            if (!fetched.ok || QFile(file).size() != qint64(bytes)) {
                std::printf("GetUrlToFile failed on %s: %s\n", path, qPrintable(fetched.failure));
                ok = false;
            }
            if (i > 0)
                ours.push_back(ms);

            if (!haveCurl)
                continue;
            QProcess curl;
            t.start();
            curl.start(QStringLiteral("curl"), {QStringLiteral("--http1.0"), QStringLiteral("-s"), QStringLiteral("-o"),
                                                curlFile, QStringLiteral("-w"),
                                                QStringLiteral("%{time_total}"), server.url(path)});
            curl.waitForFinished(60000);
            const double wall = t.nsecsElapsed() / 1e6;
            const double own = QString::fromLatin1(curl.readAllStandardOutput()).trimmed().toDouble() * 1000.0;
            if (i > 0) {
                curlOwn.push_back(own);
                curlWall.push_back(wall);
            }
        }
        const double m = Median(ours), c = Median(curlOwn), w = Median(curlWall);
        std::printf("%-8s %11.2f ms %15.2f ms %15.2f ms %16s\n", name, m, c, w,
                    haveCurl ? qPrintable(QString::asprintf("%.2fx", c > 0 ? m / c : 0.0)) : "no curl");
    }

    // The wait for a late server must sleep in the OS, not spin.
    const double threadBefore = CpuMs(RUSAGE_THREAD);
    const double processBefore = CpuMs(RUSAGE_SELF);
    QElapsedTimer t;
    t.start();
    http.URL = server.url("/late");
    try {
        http.Get();
    } catch (const EHttpException &e) {
        std::printf("late fetch failed: %s\n", qPrintable(e.message()));
        ok = false;
    }
    const double waited = t.nsecsElapsed() / 1e6;
    const double threadCpu = CpuMs(RUSAGE_THREAD) - threadBefore;
    const double processCpu = CpuMs(RUSAGE_SELF) - processBefore;
    std::printf("late server: Get waited %.0f ms; UI thread CPU %.1f ms (%.3f%% of the wait); "
                "whole process CPU %.1f ms (%.3f%%)\n",
                waited, threadCpu, 100.0 * threadCpu / waited, processCpu, 100.0 * processCpu / waited);
    return ok ? 0 : 1;
}
