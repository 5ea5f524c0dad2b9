#include "login/profile_file.h"

#include "login/file_rewrite.h"
#include "session/wire_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <optional>

namespace {

constexpr QLatin1String kCrLf("\r\n");

// One line of the file with its own line end ("\r\n", "\n", or empty for a last line
// without one), so that a rewrite gives back every untouched line byte for byte.
struct Line
{
    QString text;
    QString end;
};

struct Document
{
    QList<Line> lines;
    // The line end given to lines we add: the file's own style, CRLF for a new file.
    QString newLineEnd = kCrLf;
};

// A CR that is not part of a line end counts as a blank, as it does for the Windows
// profile functions: otherwise "[INIT]<CR>" and "[INIT]" would be different lines, and
// a line could read differently once a line is added after it.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r';
}

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

Document parse(const QString& content)
{
    Document doc;
    bool styleFound = false;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype lf = content.indexOf(u'\n', start);
        if (lf < 0) {
            doc.lines.append({content.mid(start), QString()});
            break;
        }
        const bool crlf = lf > start && content[lf - 1] == u'\r';
        const qsizetype textEnd = crlf ? lf - 1 : lf;
        doc.lines.append(
            {content.mid(start, textEnd - start), crlf ? QString(kCrLf) : QStringLiteral("\n")});
        if (!styleFound) {
            doc.newLineEnd = doc.lines.last().end;
            styleFound = true;
        }
        start = lf + 1;
    }
    return doc;
}

// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = trimBlanks(line);
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    return trimBlanks(QStringView(trimmed).mid(1, close < 0 ? -1 : close - 1));
}

bool isComment(const QString& line)
{
    return trimBlanks(line).startsWith(u';');
}

// The key of a "key=value" line, or nothing for comments and lines without "=".
std::optional<QString> keyName(const QString& line)
{
    if (isComment(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return trimBlanks(QStringView(line).left(eq));
}

QString valueOf(const QString& line)
{
    QString value = trimBlanks(QStringView(line).mid(line.indexOf(u'=') + 1));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// The index of the first header line of the section, or -1.
qsizetype findSection(const Document& doc, const QString& section)
{
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const auto name = sectionName(doc.lines[i].text);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

// The index of the line after the section's last line (the next header or the end).
qsizetype sectionEnd(const Document& doc, qsizetype header)
{
    qsizetype i = header + 1;
    while (i < doc.lines.size() && !sectionName(doc.lines[i].text))
        ++i;
    return i;
}

qsizetype findKey(const Document& doc, qsizetype header, const QString& key)
{
    const qsizetype end = sectionEnd(doc, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto name = keyName(doc.lines[i].text);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

std::optional<QString> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromWire(file.readAll());
}

// The text without a last line of blanks alone. A save written in place and interrupted
// before the file's size was set leaves such blanks; they mean nothing to any reader,
// and are not carried into the next save.
QString withoutTrailingBlanks(const QString& content)
{
    qsizetype end = content.size();
    while (end > 0 && content[end - 1] == u' ')
        --end;
    if (end == content.size() || (end > 0 && content[end - 1] != u'\n'))
        return content;
    return content.left(end);
}

// Adds a line after position index - 1, giving a last line without an end one first.
void insertLine(Document& doc, qsizetype index, const QString& text)
{
    if (index > 0 && doc.lines[index - 1].end.isEmpty())
        doc.lines[index - 1].end = doc.newLineEnd;
    doc.lines.insert(index, {text, doc.newLineEnd});
}

} // namespace

namespace ProfileFile {

QString readString(const QString& path, const QString& section, const QString& key)
{
    const std::optional<QString> content = readFile(path);
    return content ? readFromText(*content, section, key) : QString();
}

QString readFromText(const QString& content, const QString& section, const QString& key)
{
    const Document doc = parse(content);
    const qsizetype header = findSection(doc, section);
    if (header < 0)
        return QString();
    const qsizetype line = findKey(doc, header, key);
    if (line < 0)
        return QString();
    return valueOf(doc.lines[line].text).left(kMaxValueLength);
}

void writeString(const QString& path, const QString& section, const QString& key,
                 const QString& value)
{
    writeStrings(path, section, {{key, value}});
}

void writeStrings(const QString& path, const QString& section, const QList<KeyValue>& values)
{
    std::optional<QString> content;
    if (QFileInfo::exists(path)) {
        content = readFile(path);
        if (!content)
            return; // never replace a file we could not read
    }
    QString updated = withoutTrailingBlanks(content.value_or(QString()));
    for (const KeyValue& value : values)
        updated = writeToText(updated, section, value.key, value.value);
    rewriteFile(path, toWire(updated));
}

QString writeToText(const QString& content, const QString& section, const QString& key,
                    const QString& value)
{
    Document doc = parse(content);

    // A line break inside the value would end its line early and turn the rest of
    // the value into lines of its own.
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');

    const qsizetype header = findSection(doc, section);
    if (header < 0) {
        insertLine(doc, doc.lines.size(), u'[' + section + u']');
        insertLine(doc, doc.lines.size(), key + u'=' + flat);
    } else if (const qsizetype line = findKey(doc, header, key); line >= 0) {
        doc.lines[line].text = *keyName(doc.lines[line].text) + u'=' + flat;
    } else {
        // After the section's last line that is neither blank nor a comment, so that
        // blank lines and comments leading into the next section stay in front of it.
        qsizetype last = header;
        const qsizetype end = sectionEnd(doc, header);
        for (qsizetype i = header + 1; i < end; ++i) {
            if (!trimBlanks(doc.lines[i].text).isEmpty() && !isComment(doc.lines[i].text))
                last = i;
        }
        insertLine(doc, last + 1, key + u'=' + flat);
    }

    QString updated;
    for (const Line& line : std::as_const(doc.lines))
        updated += line.text + line.end;
    return updated;
}

} // namespace ProfileFile
