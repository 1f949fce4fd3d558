#include "export/MailMessage.h"

#include "export/ExportError.h"
#include "export/RandomSource.h"

#include <QRegularExpression>

#include <algorithm>
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

// Encoded words of 60 characters at most (chunks of up to 36 bytes), never
// splitting a character: a word fits within RFC 2047's 76 characters on the
// same line as the longest header name before it ("Organization: ") or as
// the parameter name "\tfilename=\"".
QByteArray encodedWords(const QString& text)
{
    constexpr int chunkBytes = 36;
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
        if (chunk.size() + bytes.size() > chunkBytes) // 36 bytes: 48 base64 characters
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
    return printableAscii(text) ? text.toLatin1() : encodedWords(text);
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
    qsizetype firstPossible = line.startsWith('\t') ? 1 : line.indexOf(": ") + 1;
    auto foldsAt = [&rest](qsizetype i) {
        return rest[i] == ' ' || rest[i] == '\t' || (rest[i - 1] == ',' && i < rest.size());
    };
    while (rest.size() > limit) {
        // The last blank, tab or place after a comma that leaves a piece
        // within the limit; failing that, the first one beyond it.
        qsizetype cut = -1;
        for (qsizetype i = limit; i > firstPossible && cut < 0; --i) {
            if (foldsAt(i))
                cut = i;
        }
        for (qsizetype i = limit + 1; i < rest.size() && cut < 0; ++i) {
            if (foldsAt(i))
                cut = i;
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

qint64 base64LinesSize(qint64 dataSize)
{
    const qint64 encoded = (dataSize + 2) / 3 * 4;
    return encoded + (encoded + 75) / 76 * 2;
}

void writeBase64Lines(const QByteArray& data, const ByteSink& sink)
{
    constexpr qsizetype bytesPerLine = 57; // 76 characters
    constexpr qsizetype linesPerPiece = 1024;
    QByteArray piece;
    piece.reserve(linesPerPiece * 78);
    for (qsizetype offset = 0; offset < data.size(); offset += bytesPerLine * linesPerPiece) {
        const qsizetype length = std::min(bytesPerLine * linesPerPiece, data.size() - offset);
        const QByteArray encoded = QByteArray::fromRawData(data.constData() + offset, length).toBase64();
        piece.clear();
        for (qsizetype i = 0; i < encoded.size(); i += 76) {
            piece.append(encoded.constData() + i, std::min<qsizetype>(76, encoded.size() - i));
            piece.append("\r\n", 2);
        }
        sink(piece.constData(), piece.size());
    }
}

} // namespace mime

bool isPlainAddress(const QString& address)
{
    static const QRegularExpression plain(QStringLiteral(
        "^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*$"));
    return address.size() <= maxAddressLength && address.indexOf(u'@') <= 64 && plain.match(address).hasMatch();
}

QStringList parseRecipients(const QString& text)
{
    QStringList recipients;
    for (const QString& piece : text.split(u',')) {
        const QString address = piece.trimmed();
        if (address.isEmpty())
            continue;
        if (!isPlainAddress(address)) {
            QString shown = address.left(60);
            for (QChar& ch : shown) {
                if (!ch.isPrint())
                    ch = u'?';
            }
            if (address.size() > shown.size())
                shown += u'…';
            throw ExportError(QStringLiteral("A(z) „%1” nem használható e-mail címként: a cím ékezet nélküli betűkből, "
                                             "számjegyekből és egy @ jelből álljon, szóköz, zárójel és vezérlőkarakter "
                                             "nélkül, legfeljebb %2 karakter hosszan. Kérlek javítsd a "
                                             "Beállításokban!")
                                  .arg(shown)
                                  .arg(maxAddressLength));
        }
        recipients << address;
    }
    if (recipients.isEmpty())
        throw ExportError(QStringLiteral("Nincs megadva címzett. Kérlek add meg a Beállításokban!"));
    return recipients;
}

namespace {

// The message, with the attachments' base64 either written or only counted.
void compose(const MailMessage& mail, const QDateTime& now, const QByteArray& boundary, const ByteSink& sink,
             bool countAttachmentsOnly)
{
    QByteArray out;
    header(out, "From", mime::displayName(mail.fromName) + " <" + mail.fromAddress.toUtf8() + ">");
    header(out, "Subject", mime::headerText(mail.subject));
    header(out, "To", mail.to.join(QStringLiteral(", ")).toUtf8());
    header(out, "Content-Type", "multipart/mixed; boundary=\"" + boundary + "\"");
    header(out, "MIME-Version", "1.0");
    header(out, "Reply-To", mail.replyTo.toUtf8());
    header(out, "Organization", mime::headerText(mail.organization));
    header(out, "Date", mime::dateTime(now));
    header(out, "X-Mailer", mime::headerText(mail.mailer));
    out += crlf;
    out += "This is a multi-part message in MIME format" + crlf + crlf;

    for (const MailMessage::Attachment& attachment : mail.attachments) {
        const QByteArray name = mime::parameterText(attachment.fileName);
        out += "--" + boundary + crlf;
        out += "Content-Type: application/octet-stream;" + crlf;
        out += mime::fold("\tname=\"" + name + "\"") + crlf;
        out += "Content-Transfer-Encoding: base64" + crlf;
        out += "Content-Disposition: attachment;" + crlf;
        out += mime::fold("\tfilename=\"" + name + "\"") + crlf + crlf;
        sink(out.constData(), out.size());
        out.clear();
        if (countAttachmentsOnly)
            sink(nullptr, mime::base64LinesSize(attachment.data.size()));
        else
            mime::writeBase64Lines(attachment.data, sink);
        out += crlf;
    }

    out += "--" + boundary + crlf;
    out += "Content-Type: text/plain; charset=UTF-8" + crlf;
    out += "Content-Transfer-Encoding: quoted-printable" + crlf;
    out += "Content-Disposition: inline" + crlf + crlf;
    out += mime::quotedPrintable(mail.bodyLines.join(u'\n').toUtf8()) + crlf + crlf;
    out += "--" + boundary + "--" + crlf + crlf;
    sink(out.constData(), out.size());
}

} // namespace

void writeMessage(const MailMessage& mail, const QDateTime& now, const QByteArray& boundary, const ByteSink& sink)
{
    compose(mail, now, boundary, sink, false);
}

qint64 messageSize(const MailMessage& mail, const QDateTime& now, const QByteArray& boundary)
{
    qint64 size = 0;
    compose(
        mail, now, boundary, [&size](const char*, qsizetype n) { size += n; }, true);
    return size;
}

QByteArray composeMessage(const MailMessage& mail, const QDateTime& now, RandomSource& random)
{
    QByteArray out;
    writeMessage(mail, now, mime::boundary(random), [&out](const char* data, qsizetype n) { out.append(data, n); });
    return out;
}
