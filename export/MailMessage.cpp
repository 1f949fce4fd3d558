#include "export/MailMessage.h"

#include "export/ExportError.h"
#include "export/RandomSource.h"

#include <cstring>

namespace {

const QByteArray crlf = QByteArrayLiteral("\r\n");

bool printableAscii(const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20 || ch.unicode() > 0x7E)
            return false;
    }
    return true;
}

// Encoded words of at most 75 characters (chunks of up to 45 bytes; shorter
// ones where a word must fit after a parameter name), never splitting a
// character.
QByteArray encodedWords(const QString& text, int chunkBytes = 45)
{
    QByteArray result;
    QByteArray chunk;
    auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!result.isEmpty())
            result += ' ';
        result += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        if (chunk.size() + bytes.size() > chunkBytes) // 45 bytes: 60 base64 characters
            flush();
        chunk += bytes;
        i += length - 1;
    }
    flush();
    return result;
}

// A word that may stand as it is in a header phrase: printable ASCII atom
// characters, and nothing that looks like an encoded word.
bool plainWord(const QString& word)
{
    static const QString specials = QStringLiteral("!#$%&'*+-/=?^_`{|}~.");
    if (word.isEmpty() || word.startsWith(QStringLiteral("=?")))
        return false;
    for (const QChar ch : word) {
        if (!(ch.unicode() < 0x80 && (ch.isLetterOrNumber() || specials.contains(ch))))
            return false;
    }
    return true;
}

// Header text with only the words that need it as encoded words; runs of
// such words share one encoded word where they fit. Readers keep the blank
// between a plain word and an encoded one, so the text reads back whole.
QByteArray mixedWords(const QString& text)
{
    QList<QByteArray> pieces;
    QString run;
    auto flushRun = [&] {
        if (!run.isEmpty())
            pieces << encodedWords(run);
        run.clear();
    };
    for (const QString& word : text.split(u' ')) {
        if (plainWord(word)) {
            flushRun();
            pieces << word.toLatin1();
        } else {
            run += run.isEmpty() ? word : u' ' + word;
        }
    }
    flushRun();
    return pieces.join(' ');
}

void header(QByteArray& out, const char* name, const QByteArray& value)
{
    if (value.isEmpty())
        return; // a header without a value is not written
    out += mime::fold(QByteArray(name) + ": " + value);
    out += crlf;
}

} // namespace

namespace mime {

QByteArray headerText(const QString& text)
{
    return printableAscii(text) ? text.toLatin1() : mixedWords(text);
}

QByteArray parameterText(const QString& text)
{
    // 36-byte chunks: "\tfilename=\"" and one encoded word stay within 78.
    return printableAscii(text) ? text.toLatin1() : encodedWords(text, 36);
}

QByteArray displayName(const QString& name)
{
    if (!printableAscii(name))
        return mixedWords(name);
    QByteArray quoted = "\"";
    for (const QChar ch : name) {
        if (ch == u'"' || ch == u'\\')
            quoted += '\\';
        quoted += char(ch.unicode());
    }
    return quoted + '"';
}

QByteArray dateTime(const QDateTime& when)
{
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = when.date();
    const QTime time = when.time();
    const int offset = when.offsetFromUtc() / 60;
    return QStringLiteral("%1, %2 %3 %4 %5:%6:%7 %8%9%10")
        .arg(QLatin1String(days[date.dayOfWeek() - 1]))
        .arg(date.day())
        .arg(QLatin1String(months[date.month() - 1]))
        .arg(date.year(), 4, 10, QChar(u'0'))
        .arg(time.hour(), 2, 10, QChar(u'0'))
        .arg(time.minute(), 2, 10, QChar(u'0'))
        .arg(time.second(), 2, 10, QChar(u'0'))
        .arg(QChar(offset < 0 ? u'-' : u'+'))
        .arg(std::abs(offset) / 60, 2, 10, QChar(u'0'))
        .arg(std::abs(offset) % 60, 2, 10, QChar(u'0'))
        .toLatin1();
}

QByteArray boundary(RandomSource& random)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray result(34, ' ');
    for (char& ch : result)
        ch = alphabet[random.bounded(sizeof alphabet - 1)];
    const int at = 1 + int(random.bounded(31)); // 1..31: "=_" never touches either end
    result[at] = '=';
    result[at + 1] = '_';
    return result;
}

QByteArray fold(const QByteArray& line)
{
    constexpr int limit = 78;
    QByteArray result;
    QByteArray rest = line;
    // The blank after a header's name is a place to fold too, but only when
    // the word after it then fits on its own line.
    qsizetype firstPossible = line.startsWith('\t') ? 1 : line.indexOf(": ") + 1;
    while (rest.size() > limit) {
        // The last blank, tab or comma that leaves a piece within the limit.
        qsizetype cut = -1;
        for (qsizetype i = limit; i > firstPossible; --i) {
            const char ch = rest[i];
            if (ch == ' ' || ch == '\t') {
                cut = i;
                break;
            }
            if (rest[i - 1] == ',' && i < limit) {
                cut = i;
                break;
            }
        }
        if (cut == firstPossible && !rest.startsWith(' ')) {
            const qsizetype next = rest.indexOf(' ', cut + 1);
            if ((next < 0 ? rest.size() : next) - cut > limit)
                cut = -1;
        }
        if (cut <= 0)
            break; // no place to fold: a long word stays whole
        QByteArray piece = rest.left(cut);
        while (piece.endsWith(' ') || piece.endsWith('\t'))
            piece.chop(1);
        result += piece + crlf;
        rest = rest.mid(cut);
        while (rest.startsWith(' ') || rest.startsWith('\t'))
            rest.remove(0, 1);
        rest.prepend(' ');
        firstPossible = 1;
    }
    return result + rest;
}

QByteArray quotedPrintable(const QByteArray& text)
{
    QByteArray result;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype l = 0; l < lines.size(); ++l) {
        QByteArray line = lines[l];
        if (line.endsWith('\r'))
            line.chop(1);
        QByteArray encoded;
        int column = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const auto byte = quint8(line[i]);
            const bool last = i + 1 == line.size();
            QByteArray piece;
            if ((byte >= 33 && byte <= 126 && byte != '=') || ((byte == ' ' || byte == '\t') && !last))
                piece = QByteArray(1, char(byte));
            else
                piece = "=" + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
            if (column + piece.size() > 75) { // soft line break keeps lines within 76
                encoded += "=" + crlf;
                column = 0;
            }
            encoded += piece;
            column += int(piece.size());
        }
        result += encoded;
        if (l + 1 < lines.size())
            result += crlf;
    }
    return result;
}

QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray result(encoded.size() + (encoded.size() / 76 + 1) * 2, Qt::Uninitialized);
    char* out = result.data();
    for (qsizetype i = 0; i < encoded.size(); i += 76) {
        const qsizetype length = std::min<qsizetype>(76, encoded.size() - i);
        std::memcpy(out, encoded.constData() + i, size_t(length));
        out += length;
        *out++ = '\r';
        *out++ = '\n';
    }
    result.truncate(out - result.data());
    return result;
}

QByteArray dotStuffed(const QByteArray& message)
{
    // Most messages hold no line that begins with "."; they go out as they are.
    if (!message.startsWith('.') && !message.contains("\n."))
        return message;
    QByteArray result;
    result.reserve(message.size() + message.size() / 64);
    qsizetype lineStart = 0;
    while (lineStart < message.size()) {
        qsizetype end = message.indexOf('\n', lineStart);
        end = end < 0 ? message.size() : end + 1;
        if (message[lineStart] == '.')
            result += '.';
        result.append(message.constData() + lineStart, end - lineStart);
        lineStart = end;
    }
    return result;
}

} // namespace mime

QStringList parseRecipients(const QString& text)
{
    QStringList recipients;
    for (const QString& piece : text.split(u',')) {
        const QString address = piece.trimmed();
        if (address.isEmpty())
            continue;
        for (const QChar ch : address) {
            if (ch.unicode() < 0x20 || ch.unicode() == 0x7F || ch.isSpace())
                throw ExportError(QStringLiteral("A címzett e-mail címe nem megfelelő: vezérlőkaraktert vagy szóközt "
                                                 "tartalmaz. Kérlek javítsd a Beállításokban!"));
        }
        recipients << address;
    }
    if (recipients.isEmpty())
        throw ExportError(QStringLiteral("Nincs megadva címzett. Kérlek add meg a Beállításokban!"));
    return recipients;
}

QByteArray composeMessage(const MailMessage& mail, const QDateTime& now, RandomSource& random)
{
    const QByteArray mark = mime::boundary(random);
    QByteArray out;
    header(out, "From", mime::displayName(mail.fromName) + " <" + mail.fromAddress.toUtf8() + ">");
    header(out, "Subject", mime::headerText(mail.subject));
    header(out, "To", mail.to.join(QStringLiteral(", ")).toUtf8());
    header(out, "Content-Type", "multipart/mixed; boundary=\"" + mark + "\"");
    header(out, "MIME-Version", "1.0");
    header(out, "Reply-To", mail.replyTo.toUtf8());
    header(out, "Organization", mime::headerText(mail.organization));
    header(out, "Date", mime::dateTime(now));
    header(out, "X-Mailer", mime::headerText(mail.mailer));
    out += crlf;
    out += "This is a multi-part message in MIME format" + crlf + crlf;

    out += "--" + mark + crlf;
    out += "Content-Type: text/plain; charset=UTF-8" + crlf;
    out += "Content-Transfer-Encoding: quoted-printable" + crlf;
    out += "Content-Disposition: inline" + crlf + crlf;
    out += mime::quotedPrintable(mail.bodyLines.join(u'\n').toUtf8()) + crlf + crlf;

    for (const MailMessage::Attachment& attachment : mail.attachments) {
        const QByteArray name = mime::parameterText(attachment.fileName);
        out += "--" + mark + crlf;
        out += "Content-Type: application/octet-stream;" + crlf;
        out += mime::fold("\tname=\"" + name + "\"") + crlf;
        out += "Content-Transfer-Encoding: base64" + crlf;
        out += "Content-Disposition: attachment;" + crlf;
        out += mime::fold("\tfilename=\"" + name + "\"") + crlf + crlf;
        out += mime::base64Lines(attachment.data) + crlf;
    }
    out += "--" + mark + "--" + crlf + crlf;
    return out;
}
