#include "platform/RegistryFile.h"

#include "common/Subs.h"

#include <QFile>
#include <algorithm>

namespace lumetta {

namespace {

const QString RootPrefix = QStringLiteral("HKEY_CURRENT_USER\\");

QString Unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text[++i];
            c = n == QLatin1Char('n') ? QLatin1Char('\n') : n == QLatin1Char('r') ? QLatin1Char('\r') : n;
        }
        out += c;
    }
    return out;
}

QString Escape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

// The index after the closing quote of a quoted text that starts at
// text[0] == '"', or -1 when the quote is never closed.
qsizetype QuotedEnd(QByteArrayView text)
{
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == '"')
            return i + 1;
    }
    return -1;
}

QString NormalizeKey(const QString &key)
{
    QString k = key;
    while (k.startsWith(QLatin1Char('\\')))
        k.remove(0, 1);
    while (k.endsWith(QLatin1Char('\\')))
        k.chop(1);
    return k;
}

QString FoldKey(const QString &key)
{
    return NormalizeKey(key).toCaseFolded();
}

// Each line on its own: a store edited by hand may hold 8-bit text.
QString DecodeLine(QByteArrayView bytes)
{
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QByteArray ValueLine(const QString &name, const RegValue &value)
{
    QString out = QLatin1Char('"') + Escape(name) + QStringLiteral("\"=");
    switch (value.type) {
    case RegValue::Type::String:
        out += QLatin1Char('"') + Escape(value.text) + QLatin1Char('"');
        break;
    case RegValue::Type::Dword:
        out += QStringLiteral("dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
        break;
    case RegValue::Type::Other:
        out += value.text;
        break;
    }
    return out.toUtf8();
}

bool SameValue(const RegValue &a, const RegValue &b)
{
    if (a.type != b.type)
        return false;
    return a.type == RegValue::Type::Dword ? a.number == b.number : a.text == b.text;
}

struct ValueLineParts {
    QString name;
    RegValue value;
};

// One value line, trimmed: "name"="text", "name"=dword:hex or "name"=other.
// Reading the store decodes names only; a value's text is decoded when it
// is asked for.
std::optional<ValueLineParts> ParseValueLine(QByteArrayView line, bool withText)
{
    const qsizetype nameEnd = QuotedEnd(line);
    if (nameEnd < 0 || nameEnd >= line.size() || line[nameEnd] != '=')
        return std::nullopt;
    const QByteArrayView data = line.sliced(nameEnd + 1);
    RegValue value;
    if (data.startsWith('"')) {
        if (QuotedEnd(data) != data.size())
            return std::nullopt;
        value.type = RegValue::Type::String;
    } else if (data.size() >= 6 && qstrnicmp(data.data(), "dword:", 6) == 0) {
        const QByteArrayView digits = data.sliced(6);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        for (char c : digits) {
            const int digit = HexDigitValue(c);
            if (digit < 0)
                return std::nullopt;
            value.number = value.number * 16 + quint32(digit);
        }
        value.type = RegValue::Type::Dword;
    } else {
        value.type = RegValue::Type::Other;
    }
    const bool utf8 = line.isValidUtf8();
    const auto decode = [utf8](QByteArrayView bytes) {
        return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    };
    ValueLineParts parts{Unescape(decode(line.sliced(1, nameEnd - 2))), value};
    if (withText && value.type == RegValue::Type::String)
        parts.value.text = Unescape(decode(data.sliced(1, data.size() - 2)));
    else if (withText && value.type == RegValue::Type::Other)
        parts.value.text = decode(data);
    return parts;
}

} // namespace

RegistryFile RegistryFile::parse(const QByteArray &content)
{
    RegistryFile reg;
    reg.m_content = content;
    reg.index();
    return reg;
}

RegistryFile RegistryFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

// One pass over the lines; each value goes to its key's table, so a large
// store reads in time linear in its size.
void RegistryFile::index()
{
    m_keys.clear();
    m_keyIndex.clear();
    m_foreign = false;
    m_hasHeader = false;
    m_lineEnd = "\n";
    const char *d = m_content.constData();
    const qsizetype n = m_content.size();
    if (n == 0)
        return;
    if (memchr(d, '\0', size_t(n))) {
        m_foreign = true;
        return;
    }

    int current = -1;     // the key of the section being read, if ours
    int openKey = -1;     // the key whose section range is still open
    bool firstLine = true;
    qsizetype pos = 0;
    if (m_content.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    while (pos < n) {
        const char *nl = static_cast<const char *>(memchr(d + pos, '\n', size_t(n - pos)));
        const qsizetype lineEnd = nl ? nl - d : n;
        const qsizetype next = nl ? lineEnd + 1 : n;
        qsizetype textEnd = lineEnd;
        if (textEnd > pos && d[textEnd - 1] == '\r')
            --textEnd;
        const QByteArrayView line = QByteArrayView(d + pos, textEnd - pos).trimmed();
        const qsizetype begin = pos;
        pos = next;
        if (line.isEmpty())
            continue;
        if (firstLine) {
            // Only a REGEDIT4 text is read; anything else is someone else's file.
            firstLine = false;
            if (line != QByteArrayView("REGEDIT4")) {
                m_foreign = true;
                m_keys.clear();
                m_keyIndex.clear();
                return;
            }
            m_hasHeader = true;
            if (textEnd < lineEnd)
                m_lineEnd = "\r\n";
            continue;
        }
        if (line.startsWith('[')) {
            if (openKey >= 0)
                m_keys[openKey].sections.last().second = begin;
            openKey = current = -1;
            if (!line.endsWith(']'))
                continue;
            QString path = DecodeLine(line.sliced(1, line.size() - 2));
            if (!path.startsWith(RootPrefix, Qt::CaseInsensitive))
                continue;  // another hive or a deletion entry: not ours
            path = NormalizeKey(path.mid(RootPrefix.size()));
            const QString folded = path.toCaseFolded();
            auto found = m_keyIndex.constFind(folded);
            if (found == m_keyIndex.constEnd()) {
                m_keys.append(Key{path, {}, {}, 0});
                found = m_keyIndex.insert(folded, int(m_keys.size()) - 1);
            }
            current = openKey = *found;
            m_keys[current].sections.append({begin, n});
            m_keys[current].insertAt = next;
            continue;
        }
        if (current < 0 || !line.startsWith('"'))
            continue;
        const auto parsed = ParseValueLine(line, false);
        if (!parsed)
            continue;
        Key &key = m_keys[current];
        key.values.insert(parsed->name.toCaseFolded(), Entry{begin, textEnd});
        key.insertAt = next;
    }
}

// Replaces bytes and moves every position after them, so a write costs no
// second reading of a large store.
void RegistryFile::splice(qsizetype begin, qsizetype end, const QByteArray &text)
{
    m_content.replace(begin, end - begin, text);
    const qsizetype delta = text.size() - (end - begin);
    if (delta == 0)
        return;
    const auto move = [&](qsizetype &at) {
        if (at >= end)
            at += delta;
    };
    for (Key &key : m_keys) {
        for (Entry &entry : key.values) {
            move(entry.begin);
            move(entry.end);
        }
        for (auto &section : key.sections) {
            move(section.first);
            move(section.second);
        }
        move(key.insertAt);
    }
}

RegValue RegistryFile::storedValue(const Entry &entry) const
{
    const QByteArrayView line = QByteArrayView(m_content).sliced(entry.begin, entry.end - entry.begin).trimmed();
    return ParseValueLine(line, true).value_or(ValueLineParts{}).value;
}

int RegistryFile::findKey(const QString &key) const
{
    return m_keyIndex.value(FoldKey(key), -1);
}

std::optional<RegValue> RegistryFile::value(const QString &key, const QString &name) const
{
    const int idx = findKey(key);
    if (idx < 0)
        return std::nullopt;
    const auto found = m_keys[idx].values.constFind(name.toCaseFolded());
    if (found == m_keys[idx].values.constEnd())
        return std::nullopt;
    return storedValue(*found);
}

std::optional<RegistryFile::Edit> RegistryFile::planValue(const QString &key, const QString &name,
                                                          const RegValue &value) const
{
    Edit edit;
    edit.key = key;
    edit.name = name;
    edit.value = value;
    const QByteArray line = ValueLine(name, value);
    edit.lineSize = line.size();
    const int idx = findKey(key);
    if (idx >= 0 && !m_foreign) {
        const Key &k = m_keys[idx];
        const auto found = k.values.constFind(name.toCaseFolded());
        if (found != k.values.constEnd()) {
            if (SameValue(storedValue(*found), value))
                return std::nullopt;
            edit.begin = found->begin;
            edit.end = found->end;
            edit.text = line;
            return edit;
        }
        // After the key's last line; a last line without its line end gets one.
        edit.begin = edit.end = k.insertAt;
        if (k.insertAt == m_content.size() && !m_content.endsWith('\n'))
            edit.text = m_lineEnd;
        edit.lineOffset = edit.text.size();
        edit.text += line + m_lineEnd;
        return edit;
    }
    // A new key: its own section at the end. Nothing of a file that is no
    // store can be kept in it: that one begins anew.
    edit.reindex = true;
    edit.begin = edit.end = m_content.size();
    if (m_foreign || !m_hasHeader) {
        edit.begin = 0;
        edit.text = "REGEDIT4" + m_lineEnd;
    } else if (!m_content.endsWith('\n')) {
        edit.text = m_lineEnd;
    }
    edit.text += m_lineEnd + "[" + (RootPrefix + NormalizeKey(key)).toUtf8() + "]" + m_lineEnd + line + m_lineEnd;
    return edit;
}

void RegistryFile::apply(const Edit &edit)
{
    splice(edit.begin, edit.end, edit.text);
    if (edit.reindex) {
        index();
        return;
    }
    const qsizetype begin = edit.begin + edit.lineOffset;
    m_keys[findKey(edit.key)].values.insert(edit.name.toCaseFolded(), Entry{begin, begin + edit.lineSize});
}

bool RegistryFile::setValue(const QString &key, const QString &name, const RegValue &value)
{
    const auto edit = planValue(key, name, value);
    if (edit)
        apply(*edit);
    return edit.has_value();
}

bool RegistryFile::hasKey(const QString &key) const
{
    return findKey(key) >= 0;
}

bool RegistryFile::removeKeyTree(const QString &key)
{
    const QString k = NormalizeKey(key);
    const QString below = k + QLatin1Char('\\');
    QList<QPair<qsizetype, qsizetype>> ranges;
    for (const Key &item : std::as_const(m_keys))
        if (item.path.compare(k, Qt::CaseInsensitive) == 0 || item.path.startsWith(below, Qt::CaseInsensitive))
            ranges += item.sections;
    if (ranges.isEmpty())
        return false;
    std::sort(ranges.begin(), ranges.end());
    QByteArray kept;
    kept.reserve(m_content.size());
    qsizetype from = 0;
    for (const auto &[begin, end] : std::as_const(ranges)) {
        kept += QByteArrayView(m_content).sliced(from, begin - from);
        from = end;
    }
    kept += QByteArrayView(m_content).sliced(from);
    m_content = kept;
    index();
    return true;
}

QStringList RegistryFile::keys() const
{
    QStringList out;
    for (const Key &k : m_keys)
        out << k.path;
    return out;
}

} // namespace lumetta
