#include "slideshow/XScreenSaverPrefs.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QCoreApplication>
#include <algorithm>
#include <optional>

namespace lumetta {

namespace {

struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;   // before the line end
    qsizetype next = 0;  // where the next line begins
    bool continues = false;
};

struct Resource {
    QByteArray name;  // the last part of a dotted or starred name
    int first = 0, last = 0;
    qsizetype valueBegin = 0;  // just after the colon
};

struct Entry {
    QByteArray text;
    int first = -1, last = -1;
};

struct Splice {
    qsizetype begin, end;
    QByteArray text;
};

QList<Line> SplitLines(const QByteArray &content)
{
    QList<Line> lines;
    qsizetype at = 0;
    while (at < content.size()) {
        Line line;
        line.begin = at;
        qsizetype nl = content.indexOf('\n', at);
        line.next = nl < 0 ? content.size() : nl + 1;
        line.end = nl < 0 ? content.size() : nl;
        if (line.end > line.begin && content[line.end - 1] == '\r')
            --line.end;
        // An odd run of backslashes at the end joins the next line; "\\" is
        // a backslash of its own.
        qsizetype slashes = 0;
        while (line.end - slashes > line.begin && content[line.end - slashes - 1] == '\\')
            ++slashes;
        line.continues = slashes % 2 == 1;
        lines << line;
        at = line.next;
    }
    return lines;
}

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
           || c == '.' || c == '*' || c == '?';
}

QList<Resource> FindResources(const QByteArray &content, const QList<Line> &lines)
{
    QList<Resource> found;
    for (int i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        int last = i;
        while (last < lines.size() - 1 && lines[last].continues)
            ++last;
        qsizetype p = line.begin;
        while (p < line.end && (content[p] == ' ' || content[p] == '\t'))
            ++p;
        const qsizetype nameBegin = p;
        while (p < line.end && IsNameChar(content[p]))
            ++p;
        const qsizetype nameEnd = p;
        while (p < line.end && (content[p] == ' ' || content[p] == '\t'))
            ++p;
        const bool comment = nameBegin < line.end && (content[nameBegin] == '!' || content[nameBegin] == '#');
        if (!comment && nameEnd > nameBegin && p < line.end && content[p] == ':') {
            QByteArray name = content.mid(nameBegin, nameEnd - nameBegin);
            const qsizetype cut = std::max(name.lastIndexOf('.'), name.lastIndexOf('*'));
            found << Resource{name.mid(cut + 1), i, last, p + 1};
        }
        i = last;
    }
    return found;
}

// Later lines win, as when the daemon reads the file.
const Resource *Find(const QList<Resource> &resources, const char *name)
{
    for (qsizetype i = resources.size() - 1; i >= 0; --i)
        if (resources[i].name == name)
            return &resources[i];
    return nullptr;
}

// The entries of the "programs:" value with the lines they stand on;
// blankAtEnd[k] tells whether line first + k ends between two entries.
QList<Entry> ParseEntries(const QByteArray &content, const QList<Line> &lines, const Resource &programs,
                          QList<bool> &blankAtEnd)
{
    QList<Entry> entries;
    Entry current;
    auto finish = [&] {
        if (!current.text.trimmed().isEmpty())
            entries << current;
        current = Entry();
    };
    for (int i = programs.first; i <= programs.last; ++i) {
        const Line &line = lines[i];
        qsizetype p = i == programs.first ? programs.valueBegin : line.begin;
        const qsizetype end = line.continues ? line.end - 1 : line.end;
        while (p < end) {
            char c = content[p];
            if (c == '\\' && p + 1 < end && content[p + 1] == 'n') {
                if (current.first >= 0)
                    current.last = i;
                finish();
                p += 2;
                continue;
            }
            if (c == '\\' && p + 1 < end && content[p + 1] == '\\')
                ++p;
            if (current.first < 0 && c != ' ' && c != '\t')
                current.first = i;
            if (current.first >= 0)
                current.last = i;
            current.text += c;
            ++p;
        }
        blankAtEnd << current.text.trimmed().isEmpty();
    }
    finish();
    return entries;
}

bool IsLumettaEntry(QByteArray text)
{
    text = text.trimmed();
    if (text.startsWith('-'))
        text = text.mid(1).trimmed();
    // An optional visual such as "GL:" comes before the name.
    qsizetype space = 0;
    while (space < text.size() && text[space] != ' ' && text[space] != '\t')
        ++space;
    if (!text.startsWith('"') && text.left(space).endsWith(':'))
        text = text.mid(space).trimmed();
    if (text.startsWith('"')) {
        const qsizetype close = text.indexOf('"', 1);
        if (close > 0 && text.mid(1, close - 1).trimmed().compare("Lumetta", Qt::CaseInsensitive) == 0)
            return true;
        text = close > 0 ? text.mid(close + 1).trimmed() : QByteArray();
    }
    QByteArray program;
    if (text.startsWith('\'') || text.startsWith('"')) {
        const qsizetype close = text.indexOf(text[0], 1);
        program = text.mid(1, close < 0 ? -1 : close - 1);
    } else {
        program = text.left(std::min(text.indexOf(' ') < 0 ? text.size() : text.indexOf(' '),
                                     text.indexOf('\t') < 0 ? text.size() : text.indexOf('\t')));
    }
    return program == "Lumetta.scr" || program.endsWith("/Lumetta.scr");
}

XScreenSaverEdit Refuse(const QString &problem)
{
    XScreenSaverEdit edit;
    edit.problem = problem;
    return edit;
}

// An entry the daemon reads whole may run over several continued lines,
// as the settings tool wraps it; it cannot be cut out when another entry
// stands on one of them.
bool SharesALine(const QList<Entry> &entries, const Entry &entry, const Resource &programs)
{
    if (entry.first == programs.first)
        return true;
    return std::any_of(entries.begin(), entries.end(), [&](const Entry &e) {
        return &e != &entry && e.first <= entry.last && entry.first <= e.last;
    });
}

QByteArray Value(const QByteArray &content, const QList<Line> &lines, const Resource *resource)
{
    if (!resource)
        return {};
    const Line &line = lines[resource->first];
    return content.mid(resource->valueBegin, line.end - resource->valueBegin).trimmed();
}

QByteArray Apply(const QByteArray &content, QList<Splice> splices)
{
    std::sort(splices.begin(), splices.end(), [](const Splice &a, const Splice &b) { return a.begin > b.begin; });
    QByteArray out = content;
    for (const Splice &s : splices)
        out.replace(s.begin, s.end - s.begin, s.text);
    return out;
}

bool PlainWord(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isLetterOrNumber() || QStringLiteral("_./+,:@%=-").contains(c);
    });
}

// The value of a one-line resource becomes value; without the resource a
// line is added at the end.
std::optional<QString> SetValue(const QByteArray &content, const QList<Line> &lines, const Resource *resource,
                                const char *name, const QByteArray &value, const QByteArray &eol,
                                QList<Splice> &splices, QByteArray &appended)
{
    if (!resource) {
        appended += QByteArray(name) + ":\t\t" + value + eol;
        return std::nullopt;
    }
    if (resource->first != resource->last)
        return QCoreApplication::translate("XScreenSaverPrefs", "its \"%1:\" value runs over several lines")
            .arg(QLatin1String(name));
    const Line &line = lines[resource->first];
    qsizetype begin = resource->valueBegin;
    while (begin < line.end && (content[begin] == ' ' || content[begin] == '\t'))
        ++begin;
    qsizetype end = line.end;
    while (end > begin && (content[end - 1] == ' ' || content[end - 1] == '\t'))
        --end;
    splices << Splice{begin, end, value};
    return std::nullopt;
}

} // namespace

QString XScreenSaverPrefsFile()
{
    const QString file = QDir::homePath() + QStringLiteral("/.xscreensaver");
    const QString target = QFileInfo(file).canonicalFilePath();
    return target.isEmpty() ? file : target;
}

QByteArray XScreenSaverEntry(const QString &program, QString home)
{
    for (const QChar c : program)
        if (c == u'\'' || c == u'"' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return {};
    // The settings tool wraps entries at blanks, inside quotes too, so a
    // blank in the path would be cut. A home folder with blanks is left to
    // the shell, which the daemon runs for a command with quotes.
    while (home.endsWith(u'/'))
        home.chop(1);
    QByteArray word;
    QString rest = program;
    if (!home.isEmpty() && !PlainWord(home) && program.startsWith(home + u'/')) {
        word = "\"$HOME\"";
        rest = program.mid(home.size());
    }
    // Blanks left in the rest stay whole only until the tool rewraps them.
    word += PlainWord(rest) ? rest.toUtf8() : "'" + rest.toUtf8() + "'";
    return "\"Lumetta\" " + word + " /s";
}

XScreenSaverEdit SelectInXScreenSaver(const QByteArray &content, const QString &program, const QString &home)
{
    const QByteArray entry = XScreenSaverEntry(program, home);
    if (entry.isEmpty())
        return Refuse(
            QCoreApplication::translate("XScreenSaverPrefs",
                                        "the path of the installed copy holds a quote, a backslash or a control "
                                        "character"));
    if (content.contains('\0'))
        return Refuse(QCoreApplication::translate("XScreenSaverPrefs", "it is not a text file"));
    const QList<Line> lines = SplitLines(content);
    const QList<Resource> resources = FindResources(content, lines);
    const Resource *programs = Find(resources, "programs");
    if (!programs)
        return Refuse(QCoreApplication::translate("XScreenSaverPrefs", "it has no \"programs:\" list"));
    if (programs->first == programs->last)
        return Refuse(QCoreApplication::translate("XScreenSaverPrefs", "its \"programs:\" list is on one line"));

    const Line &head = lines[programs->first];
    const QByteArray eol = content.mid(head.end, head.next - head.end).isEmpty()
                               ? QByteArray("\n")
                               : content.mid(head.end, head.next - head.end);
    auto entryLine = [&](bool continues) {
        return "\t\t\t\t" + entry + "\t\t\t    \\n" + (continues ? "\\" : "") + eol;
    };

    QList<bool> blankAtEnd;
    const QList<Entry> entries = ParseEntries(content, lines, *programs, blankAtEnd);
    QList<Splice> splices;
    XScreenSaverEdit edit;
    const auto ours = std::find_if(entries.begin(), entries.end(),
                                   [](const Entry &e) { return IsLumettaEntry(e.text); });
    if (ours != entries.end()) {
        if (SharesALine(entries, *ours, *programs))
            return Refuse(QCoreApplication::translate("XScreenSaverPrefs",
                                                      "Lumetta's entry in its \"programs:\" list shares a line with "
                                                      "another entry"));
        // A last line without a backslash ends the list, and still does.
        const Line &last = lines[ours->last];
        splices << Splice{lines[ours->first].begin, last.next, entryLine(last.continues)};
        edit.selected = int(ours - entries.begin());
    } else {
        // Before the list's last line, which is often the empty line that
        // ends it, so no other line changes.
        const int last = programs->last;
        if (!blankAtEnd[last - 1 - programs->first])
            return Refuse(QCoreApplication::translate("XScreenSaverPrefs",
                                                      "the entry before the end of its \"programs:\" list is not "
                                                      "closed with \\n"));
        splices << Splice{lines[last].begin, lines[last].begin, entryLine(true)};
        edit.selected = int(std::count_if(entries.begin(), entries.end(),
                                          [last](const Entry &e) { return e.first < last; }));
    }

    QByteArray appended;
    for (auto [name, value] : {std::pair{"mode", QByteArray("one")},
                               std::pair{"selected", QByteArray::number(edit.selected)}})
        if (auto problem = SetValue(content, lines, Find(resources, name), name, value, eol, splices, appended))
            return Refuse(*problem);
    if (!appended.isEmpty()) {
        if (!lines.isEmpty() && lines.last().continues)
            return Refuse(QCoreApplication::translate("XScreenSaverPrefs", "its last line ends with a backslash"));
        if (!content.isEmpty() && !content.endsWith('\n'))
            appended.prepend(eol);
        splices << Splice{content.size(), content.size(), appended};
    }

    edit.content = Apply(content, splices);
    return edit;
}

XScreenSaverRemoval RemoveFromXScreenSaver(const QByteArray &content)
{
    XScreenSaverRemoval removal;
    if (content.contains('\0'))
        return removal;
    const QList<Line> lines = SplitLines(content);
    const QList<Resource> resources = FindResources(content, lines);
    const Resource *programs = Find(resources, "programs");
    if (!programs)
        return removal;
    QList<bool> blankAtEnd;
    const QList<Entry> entries = ParseEntries(content, lines, *programs, blankAtEnd);
    const QByteArray eol = content.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");

    const Resource *selectedResource = Find(resources, "selected");
    bool number = false;
    const int selected = Value(content, lines, selectedResource).toInt(&number);
    int selectedAfter = number ? selected : -1;
    QList<Splice> splices;
    for (int k = 0; k < entries.size(); ++k) {
        const Entry &e = entries[k];
        if (!IsLumettaEntry(e.text))
            continue;
        if (SharesALine(entries, e, *programs)) {
            removal.problem =
                QCoreApplication::translate("XScreenSaverPrefs",
                                            "Lumetta's entry in its \"programs:\" list shares a line with "
                                            "another entry");
            return removal;
        }
        // A last line without a backslash ends the list: an empty line
        // still does.
        const Line &last = lines[e.last];
        splices << Splice{lines[e.first].begin, last.next, last.continues ? QByteArray() : eol};
        if (k == selected && number)
            removal.blanked = Value(content, lines, Find(resources, "mode")).compare("one", Qt::CaseInsensitive) == 0;
        else if (k < selected && number)
            --selectedAfter;
    }
    if (splices.isEmpty())
        return removal;
    QByteArray unused;
    std::optional<QString> problem;
    if (removal.blanked)
        problem = SetValue(content, lines, Find(resources, "mode"), "mode", "blank", eol, splices, unused);
    else if (selectedAfter != selected)
        problem = SetValue(content, lines, selectedResource, "selected", QByteArray::number(selectedAfter), eol,
                           splices, unused);
    if (problem) {
        removal.problem = *problem;
        removal.blanked = false;
        return removal;
    }
    removal.content = Apply(content, splices);
    return removal;
}

bool XScreenSaverSelectsLumetta(const QByteArray &content)
{
    if (content.contains('\0'))
        return false;
    const QList<Line> lines = SplitLines(content);
    const QList<Resource> resources = FindResources(content, lines);
    const Resource *programs = Find(resources, "programs");
    if (!programs || Value(content, lines, Find(resources, "mode")).compare("one", Qt::CaseInsensitive) != 0)
        return false;
    bool number = false;
    const int selected = Value(content, lines, Find(resources, "selected")).toInt(&number);
    QList<bool> blankAtEnd;
    const QList<Entry> entries = ParseEntries(content, lines, *programs, blankAtEnd);
    // An entry starting with '-' is switched off.
    return number && selected >= 0 && selected < entries.size() && IsLumettaEntry(entries[selected].text)
           && !entries[selected].text.trimmed().startsWith('-');
}

} // namespace lumetta
