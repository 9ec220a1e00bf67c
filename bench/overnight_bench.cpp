// A night of screen saver on a big catalogue, in a few minutes per size:
// for each catalogue size, camsim serves that many webcams changing every
// 5 to 30 s, the real program runs "/s" on their catalogue under its own
// Xvfb with a display time of 3 s, and the bench prints side by side the
// bytes the program wrote (/proc/PID/io write_bytes) against the bytes it
// downloaded (camsim's count), and the longest event-loop gap, timed from
// outside: a _NET_WM_PING goes to the show's window every 10 ms and Qt
// answers it on its GUI thread, so an answer late by T means a loop held T.
// The gaps of the first 20 s are printed apart ("gap at start"), and so is
// the time the main window takes to appear on the same catalogue.
//
//   overnight_bench [--minutes M] [--sizes 100,10000,100000] [--lumetta PATH]
#include "platform/Registry.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>

#include <poll.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>

using namespace lumetta;

namespace {

// The gaps of the start-up (loading the catalogue behind the first window)
// are told apart from those of the running show.
constexpr qint64 StartMs = 20000;

// camsim's demo group adds these to its numbered webcams.
constexpr int DemoExtras = 11;

struct Figures {
    int webcams = 0;
    double seconds = 0;
    qint64 written = 0;
    qint64 downloaded = 0;
    double firstWindowS = -1;  // from start to the first window shown
    double mainWindowS = -1;   // the same for the main window, started without "/s"
    qint64 startGapMs = -1;    // longest in the first StartMs of the show
    qint64 longestGapMs = -1;  // longest after that
    int pings = 0;
};

qint64 WriteBytes(qint64 pid)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("write_bytes:"))
            return line.mid(12).trimmed().toLongLong();
    return -1;
}

// camsim's count of bytes sent, through a plain blocking socket.
qint64 CamsimBytes(quint16 port)
{
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!s.waitForConnected(5000))
        return -1;
    s.write("GET /stats HTTP/1.0\r\n\r\n");
    QByteArray reply;
    while (s.waitForReadyRead(5000))
        reply += s.readAll();
    reply += s.readAll();
    const qsizetype at = reply.indexOf("bytes ");
    return at < 0 ? -1 : reply.mid(at + 6).trimmed().toLongLong();
}

xcb_atom_t Atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

// A viewable top-level window of the process that takes pings.
xcb_window_t ShowWindow(xcb_connection_t *c, xcb_window_t root, qint64 pid, xcb_atom_t pidAtom, xcb_atom_t protocols,
                        xcb_atom_t ping)
{
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (!tree)
        return XCB_NONE;
    xcb_window_t found = XCB_NONE;
    const xcb_window_t *kids = xcb_query_tree_children(tree);
    for (int i = 0, n = xcb_query_tree_children_length(tree); i < n && !found; ++i) {
        auto *attr = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, kids[i]), nullptr);
        const bool viewable = attr && attr->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attr);
        if (!viewable)
            continue;
        auto *p = xcb_get_property_reply(c, xcb_get_property(c, 0, kids[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        const bool ours = p && xcb_get_property_value_length(p) == 4
                          && *static_cast<uint32_t *>(xcb_get_property_value(p)) == uint32_t(pid);
        free(p);
        if (!ours)
            continue;
        auto *w = xcb_get_property_reply(c, xcb_get_property(c, 0, kids[i], protocols, XCB_ATOM_ATOM, 0, 32), nullptr);
        if (w) {
            const auto *atoms = static_cast<xcb_atom_t *>(xcb_get_property_value(w));
            const int count = xcb_get_property_value_length(w) / 4;
            if (std::find(atoms, atoms + count, ping) != atoms + count)
                found = kids[i];
        }
        free(w);
    }
    free(tree);
    return found;
}

// Pings the show's window for the given time; fills the gap figures.
void Watch(const QString &display, qint64 pid, qint64 runMs, const QElapsedTimer &sinceStart, Figures &f,
           const std::function<void()> &atFirstWindow)
{
    xcb_connection_t *c = xcb_connect(display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X connection to %s\n", qPrintable(display));
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // Qt answers to the root window with the structure-notify mask.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID"), protocols = Atom(c, "WM_PROTOCOLS"),
                     ping = Atom(c, "_NET_WM_PING");

    xcb_window_t window = XCB_NONE;
    QElapsedTimer clock;
    clock.start();
    while (!window && clock.elapsed() < 120000) {
        window = ShowWindow(c, root, pid, pidAtom, protocols, ping);
        if (!window)
            QThread::msleep(20);
    }
    if (!window) {
        std::fprintf(stderr, "no window of the show within 120 s\n");
        xcb_disconnect(c);
        return;
    }
    f.firstWindowS = sinceStart.elapsed() / 1000.0;
    atFirstWindow();

    std::map<uint32_t, qint64> sent;  // ping number -> ms since the watch began
    uint32_t next = 1;
    qint64 lastPing = -1000, lastScan = 0;
    f.longestGapMs = f.startGapMs = 0;
    auto gap = [&f](qint64 sentAt, qint64 ms) {
        qint64 &longest = sentAt < StartMs ? f.startGapMs : f.longestGapMs;
        longest = std::max(longest, ms);
    };
    clock.restart();
    const int fd = xcb_get_file_descriptor(c);
    while (clock.elapsed() < runMs) {
        const qint64 now = clock.elapsed();
        if (now - lastPing >= 10) {
            xcb_client_message_event_t e{};
            e.response_type = XCB_CLIENT_MESSAGE;
            e.format = 32;
            e.window = window;
            e.type = protocols;
            e.data.data32[0] = ping;
            e.data.data32[1] = XCB_CURRENT_TIME;
            e.data.data32[2] = window;
            e.data.data32[3] = next;
            xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&e));
            xcb_flush(c);
            sent[next++] = now;
            lastPing = now;
        }
        // The oldest ping still unanswered counts too.
        if (!sent.empty())
            gap(sent.begin()->second, now - sent.begin()->second);
        if (now - lastScan > 1000) {  // the show may replace its window
            lastScan = now;
            if (const xcb_window_t w = ShowWindow(c, root, pid, pidAtom, protocols, ping))
                window = w;
        }
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 5);
        while (xcb_generic_event_t *ev = xcb_poll_for_event(c)) {
            if ((ev->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto *m = reinterpret_cast<xcb_client_message_event_t *>(ev);
                if (m->type == protocols && m->data.data32[0] == ping) {
                    const auto it = sent.find(m->data.data32[3]);
                    if (it != sent.end()) {
                        gap(it->second, clock.elapsed() - it->second);
                        ++f.pings;
                        sent.erase(sent.begin(), std::next(it));  // earlier ones were answered in order
                    }
                }
            }
            free(ev);
        }
        if (xcb_connection_has_error(c))
            break;
    }
    xcb_disconnect(c);
}

Figures RunSize(int webcams, double minutes, const QString &lumetta, const QString &camsim, const QString &display)
{
    Figures f;
    QTemporaryDir tmp;
    const QString home = tmp.path() + "/home/";
    QDir().mkpath(home);
    QProcess cams;
    cams.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cams.start(camsim, {"--port", "0", "--kinds", "demo", "--cams", QString::number(std::max(0, webcams - DemoExtras)),
                        "--catalogue", home + "lumetta.dat", "--ca-file", tmp.path() + "/ca.pem"});
    QByteArray banner;
    QElapsedTimer waited;
    waited.start();
    while (!banner.contains("CA certificate") && waited.elapsed() < 120000 && cams.waitForReadyRead(1000))
        banner += cams.readAllStandardOutput();
    const qsizetype at = banner.indexOf("http://127.0.0.1:");
    if (at < 0 || !banner.contains("CA certificate")) {
        std::fprintf(stderr, "camsim did not start\n");
        return f;
    }
    f.webcams = banner.left(banner.indexOf(" webcams")).mid(8).toInt();
    const quint16 port = quint16(banner.mid(at + 17, banner.indexOf('/', at + 17) - at - 17).toUInt());

    qputenv("LUMETTA_HOME", home.toUtf8());
    qputenv("LUMETTA_REGISTRY", (tmp.path() + "/user.reg").toUtf8());
    qputenv("LUMETTA_WINDOWS_DIR", (tmp.path() + "/windows").toUtf8());
    // A desktop's runtime folder is in memory (/run/user/UID): so is this one.
    QTemporaryDir runtime(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/lumetta-bench-XXXXXX")
                                                                   : tmp.path() + QStringLiteral("/run-XXXXXX"));
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    WriteRegString(LumettaKey, "AppPath", home);
    WriteRegString(LumettaKey, "CaFile", tmp.path() + "/ca.pem");
    WriteRegInteger(LumettaKey, "SSInterval", 3);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    auto launch = [&](QProcess &p, const QStringList &args, QElapsedTimer &sinceStart) {
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(tmp.path() + "/show.err", QIODevice::Append);
        sinceStart.start();
        p.start(lumetta, args);
        if (p.waitForStarted(10000))
            return true;
        std::fprintf(stderr, "lumetta did not start\n");
        return false;
    };
    auto end = [](QProcess &p) {
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(60000))
            p.kill();
    };

    // The main window on the same catalogue, the way a user opens it.
    {
        QProcess window;
        QElapsedTimer sinceStart;
        if (!launch(window, {}, sinceStart))
            return f;
        Figures first;
        Watch(display, window.processId(), 0, sinceStart, first, [] {});
        f.mainWindowS = first.firstWindowS;
        end(window);
    }

    QProcess show;
    QElapsedTimer sinceStart;
    if (!launch(show, {"/s"}, sinceStart))
        return f;
    const qint64 pid = show.processId();
    qint64 written0 = 0, downloaded0 = 0;
    QElapsedTimer measured;
    Watch(display, pid, qint64(minutes * 60000), sinceStart, f, [&] {
        written0 = WriteBytes(pid);
        downloaded0 = CamsimBytes(port);
        measured.start();
    });
    if (measured.isValid()) {
        f.written = WriteBytes(pid) - written0;
        f.downloaded = CamsimBytes(port) - downloaded0;
        f.seconds = measured.elapsed() / 1000.0;
    }
    end(show);
    cams.terminate();
    cams.waitForFinished(10000);
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"minutes", "Minutes of show per size.", "m", "3"});
    parser.addOption({"sizes", "Catalogue sizes, comma-separated.", "list", "100,10000,100000"});
    parser.addOption({"lumetta", "The program to run.", "path", LUMETTA_BINARY});
    parser.addHelpOption();
    parser.process(app);
    const double minutes = parser.value("minutes").toDouble();

    const QString display = QStringLiteral(":%1").arg(200 + QCoreApplication::applicationPid() % 300);
    QProcess xvfb;
    xvfb.setStandardOutputFile(QProcess::nullDevice());
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start("Xvfb", {display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (!xvfb.waitForStarted(5000)) {
        std::fprintf(stderr, "Xvfb is missing: scripts/setup\n");
        return 1;
    }
    QThread::msleep(1000);

    std::printf("%s, %.1f minutes of \"/s\" per size, display time 3 s, webcams changing every 5-30 s\n",
                qPrintable(parser.value("lumetta")), minutes);
    std::printf("%9s %12s %12s %10s %10s %12s %12s %12s\n", "webcams", "written/h", "download/h", "ratio",
                "per night", "longest gap", "gap at start", "main window");
    for (const QString &size : parser.value("sizes").split(',', Qt::SkipEmptyParts)) {
        const Figures f = RunSize(size.toInt(), minutes, parser.value("lumetta"), CAMSIM_BINARY, display);
        const double hour = f.seconds > 0 ? 3600.0 / f.seconds : 0;
        std::printf("%9d %9.1f MB %9.1f MB %9.1fx %7.2f GB %9lld ms %9lld ms %10.2f s\n", f.webcams,
                    f.written * hour / 1e6, f.downloaded * hour / 1e6,
                    f.downloaded > 0 ? double(f.written) / f.downloaded : 0.0, f.written * hour * 8 / 1e9,
                    f.longestGapMs, f.startGapMs, f.mainWindowS);
        std::fflush(stdout);
    }
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return 0;
}
