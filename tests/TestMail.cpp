// The mail composer and the SMTP client: exact lines, Python's email parser
// and a real aiosmtpd server with STARTTLS and AUTH LOGIN. The scripted,
// hostile servers are met through the program's send action (TestExport).

#include "export/ExportError.h"
#include "export/MailAccount.h"
#include "export/MailMessage.h"
#include "export/MonthDispatch.h"
#include "export/RandomSource.h"
#include "export/SmtpClient.h"
#include "export/SmtpTexts.h"
#include "store/DataModule.h"
#include "support/Fixture.h"
#include "support/PythonPeer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The same number sequence on every call, so the boundary is fixed.
class FixedRandom final : public RandomSource {
public:
    quint32 bounded(quint32 bound) override { return (m_next++ * 7) % bound; }
    quint32 m_next = 0;
};

const QDateTime sendTime(QDate(2020, 9, 15), QTime(14, 30, 5), QTimeZone(2 * 3600));

MailMessage sampleMail()
{
    MailMessage mail;
    mail.fromName = QStringLiteral("Devere Dedizavevide Csongrád Megyei Szervezete");
    mail.fromAddress = QStringLiteral("veradas@example.hu");
    mail.replyTo = mail.fromAddress;
    mail.to = {QStringLiteral("cel@example.hu"), QStringLiteral("masik@example.hu")};
    mail.subject = QStringLiteral("Véradónapok: Szeptember");
    mail.organization = mail.fromName;
    mail.mailer = QStringLiteral("Kelmir 1.2.2");
    mail.bodyLines = {QStringLiteral("Ez egy automatikusan generált email, amit a Kelmir program küldött."), QString(),
                      QStringLiteral("Kérlek ne válaszolj rá!")};
    mail.attachments.append({QStringLiteral("Csongrád Megye Szeptember havi véradásai (2020. 09. 15.14.30.05).xml"),
                             QByteArray("<xml>\n.pont a sor elején\n") + QString(3000, u'ő').toUtf8()});
    return mail;
}

QStringList stringList(const QJsonValue& value)
{
    QStringList result;
    for (const QJsonValue& item : value.toArray())
        result << item.toString();
    return result;
}

} // namespace

class TestMail : public QObject {
    Q_OBJECT
private slots:
    void headerLines();
    void parsedByPythonWithoutDefects();
    void layoutAndStreaming();
    void folding_data();
    void folding();
    void quotedPrintable_data();
    void quotedPrintable();
    void boundaryShape();
    void recipients_data();
    void recipients();
    void longRecipientsFoldWithinTheLimit();
    void encodedWordsOfLongHeaders();
    void sendsToRealServerOverStartTls();
    void noServerFailsToConnect();
    void everyClientTextIsProperHungarian();
    void monthIsSentWithoutAWindow();
    void mailAccountFiles_data();
    void mailAccountFiles();

private:
    QTemporaryDir m_dir;
};

void TestMail::headerLines()
{
    FixedRandom random;
    const QByteArray message = composeMessage(sampleMail(), sendTime, random);
    const QList<QByteArray> lines = message.left(message.indexOf("\r\n\r\n")).split('\n');
    const QByteArray boundary = mime::boundary(*std::make_unique<FixedRandom>());
    QList<QByteArray> expected = {
        "From: Devere Dedizavevide =?UTF-8?B?Q3Nvbmdyw6Fk?= Megyei Szervezete\r",
        " <veradas@example.hu>\r",
        "Subject: =?UTF-8?B?VsOpcmFkw7NuYXBvazo=?= Szeptember\r",
        "To: cel@example.hu, masik@example.hu\r",
        "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r",
        "MIME-Version: 1.0\r",
        "Reply-To: veradas@example.hu\r",
        "Organization: Devere Dedizavevide =?UTF-8?B?Q3Nvbmdyw6Fk?= Megyei Szervezete\r",
        "Date: Tue, 15 Sep 2020 14:30:05 +0200\r",
        "X-Mailer: Kelmir 1.2.2",
    };
    QCOMPARE(lines, expected);
    for (const QByteArray& line : message.split('\n'))
        QVERIFY2(line.size() <= 79, line.constData()); // 78 and the CR
    QVERIFY(!message.contains("Message-Id") && !message.contains("Cc:") && !message.contains("Bcc:"));
    QCOMPARE(mime::dateTime(QDateTime(QDate(2021, 1, 3), QTime(7, 5, 9), QTimeZone(-(4 * 3600 + 1800)))),
             QByteArray("Sun, 3 Jan 2021 07:05:09 -0430"));
    // The message has CR LF line ends only.
    QCOMPARE(message.count('\n'), message.count("\r\n"));
}

void TestMail::parsedByPythonWithoutDefects()
{
    FixedRandom random;
    const MailMessage mail = sampleMail();
    const QString path = m_dir.filePath("message.eml");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(composeMessage(mail, sendTime, random));
    file.close();
    const QJsonObject parsed = runPythonPeer(peerScript("parse_mail.py"), {path}).object();
    for (const char* policy : {"compat32", "default"}) {
        const QJsonObject result = parsed.value(policy).toObject();
        QCOMPARE(result.value("defects").toArray(), QJsonArray());
        QCOMPARE(result.value("multipart").toString(), QStringLiteral("multipart/mixed"));
        const QJsonObject headers = result.value("headers").toObject();
        QCOMPARE(headers.value("From").toString(), mail.fromName + " <veradas@example.hu>");
        QCOMPARE(headers.value("Subject").toString(), mail.subject);
        QCOMPARE(headers.value("Organization").toString(), mail.organization);
        QCOMPARE(headers.value("To").toString(), QStringLiteral("cel@example.hu, masik@example.hu"));
        QCOMPARE(headers.value("Reply-To").toString(), QStringLiteral("veradas@example.hu"));
        QCOMPARE(headers.value("X-Mailer").toString(), QStringLiteral("Kelmir 1.2.2"));
        // The attachment first, the text part after it.
        const QJsonArray parts = result.value("parts").toArray();
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts[1].toObject().value("type").toString(), QStringLiteral("text/plain"));
        QCOMPARE(parts[1].toObject().value("text").toString().split(QStringLiteral("\r\n")).mid(0, 3), mail.bodyLines);
        const QJsonObject attachment = parts[0].toObject();
        QCOMPARE(attachment.value("filename").toString(), mail.attachments[0].fileName);
        QCOMPARE(QByteArray::fromBase64(attachment.value("data").toString().toLatin1()), mail.attachments[0].data);
    }
}

void TestMail::folding_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("short stays") << QByteArray("Subject: hello") << QByteArray("Subject: hello");
    QTest::newRow("at a blank") << QByteArray("To: " + QByteArray(70, 'a') + " bbbbbbbbbb")
                                << QByteArray("To: " + QByteArray(70, 'a') + "\r\n bbbbbbbbbb");
    QTest::newRow("after a comma") << QByteArray("To: " + QByteArray(70, 'a') + ",bbbbbbbbbb")
                                   << QByteArray("To: " + QByteArray(70, 'a') + ",\r\n bbbbbbbbbb");
    QTest::newRow("one long word") << QByteArray("X: " + QByteArray(90, 'c'))
                                   << QByteArray("X: " + QByteArray(90, 'c'));
}

void TestMail::folding()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    QCOMPARE(mime::fold(line), expected);
}

void TestMail::layoutAndStreaming()
{
    FixedRandom random;
    const MailMessage mail = sampleMail();
    const QByteArray boundary = mime::boundary(random);
    // Written in pieces, the message is the one measured.
    QByteArray pieces;
    int calls = 0;
    writeMessage(mail, sendTime, boundary, [&](const char* data, qsizetype n) {
        pieces.append(data, n);
        ++calls;
    });
    QVERIFY(calls > 2);
    QCOMPARE(messageSize(mail, sendTime, boundary), pieces.size());
    // Preamble, attachment part, text part, closing boundary.
    const QByteArray body = pieces.mid(pieces.indexOf("\r\n\r\n") + 4);
    QVERIFY(body.startsWith("This is a multi-part message in MIME format\r\n\r\n--" + boundary
                            + "\r\n"
                              "Content-Type: application/octet-stream;\r\n"));
    const qsizetype text = body.indexOf("--" + boundary + "\r\nContent-Type: text/plain; charset=UTF-8\r\n");
    QVERIFY(text > body.indexOf("Content-Transfer-Encoding: base64"));
    QVERIFY(body.endsWith("\r\n--" + boundary + "--\r\n\r\n"));
    // Base64 in lines of 76, whatever the size, and its size known ahead.
    for (const int size : {0, 1, 57, 58, 57 * 1024, 57 * 1024 + 1, 200000}) {
        const QByteArray data(size, 'x');
        QByteArray lines;
        mime::writeBase64Lines(data, [&](const char* d, qsizetype n) { lines.append(d, n); });
        QCOMPARE(lines.size(), mime::base64LinesSize(size));
        QCOMPARE(QByteArray::fromBase64(QByteArray(lines).replace("\r\n", "")), data);
        for (const QByteArray& line : lines.split('\n').mid(0, lines.count('\n')))
            QVERIFY(line.size() <= 77 && line.endsWith('\r'));
    }
}

void TestMail::quotedPrintable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("accented letters") << "Kérlek ne válaszolj rá!"
                                      << QByteArray("K=C3=A9rlek ne v=C3=A1laszolj r=C3=A1!");
    QTest::newRow("empty lines kept") << "a\n\nb" << QByteArray("a\r\n\r\nb");
    QTest::newRow("equals sign") << "1+1=2 =" << QByteArray("1+1=3D2 =3D");
    QTest::newRow("blank and tab at a line end")
        << "szóköz \nfül\t\nvég" << QByteArray("sz=C3=B3k=C3=B6z=20\r\nf=C3=BCl=09\r\nv=C3=A9g");
    QTest::newRow("long line, soft breaks")
        << QString(80, u'a') + QStringLiteral("=b") << QByteArray(75, 'a') + "=\r\n" + QByteArray(5, 'a') + "=3Db";
}

void TestMail::quotedPrintable()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    const QByteArray encoded = mime::quotedPrintable(text.toUtf8());
    QCOMPARE(encoded, expected);
    for (const QByteArray& line : encoded.split('\n'))
        QVERIFY(line.size() <= 77); // 76 and the CR
}

void TestMail::boundaryShape()
{
    SystemRandom random;
    for (int i = 0; i < 200; ++i) {
        const QByteArray boundary = mime::boundary(random);
        QCOMPARE(boundary.size(), 34);
        const qsizetype at = boundary.indexOf("=_");
        QVERIFY(at >= 1 && at <= 31);
        QCOMPARE(boundary.count('='), 1);
        QVERIFY(QByteArray(boundary).remove(at, 2).toStdString().find_first_not_of(
                    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
                == std::string::npos);
    }
}

void TestMail::recipients_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // empty: refused
    QTest::newRow("one") << "cel@example.hu" << QStringList{"cel@example.hu"};
    QTest::newRow("two with blanks") << " a@b.hu ,  c@d.hu " << QStringList{"a@b.hu", "c@d.hu"};
    QTest::newRow("empty pieces dropped") << "a@b.hu,,  ," << QStringList{"a@b.hu"};
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("blanks only") << "  ,  " << QStringList();
    QTest::newRow("line break") << "a@b.hu\r\nRCPT TO:<x@evil>" << QStringList();
    QTest::newRow("line feed") << "a@b.hu\nBcc: x@evil" << QStringList();
    QTest::newRow("tab") << "a@\tb.hu" << QStringList();
    QTest::newRow("accented letters") << QStringLiteral("józsef@példa.hu") << QStringList();
    QTest::newRow("angle brackets") << "<a@b.hu>" << QStringList();
    QTest::newRow("display name") << "Kovács <a@b.hu>" << QStringList();
    QTest::newRow("no domain") << "a@" << QStringList();
    QTest::newRow("two at signs") << "a@b@c.hu" << QStringList();
    QTest::newRow("254 characters") << QString(64, u'a') + "@" + QString(186, u'b') + ".hu"
                                    << QStringList{QString(64, u'a') + "@" + QString(186, u'b') + ".hu"};
    QTest::newRow("255 characters") << QString(64, u'a') + "@" + QString(187, u'b') + ".hu" << QStringList();
    QTest::newRow("local part of 65") << QString(65, u'a') + "@b.hu" << QStringList();
    QTest::newRow("1,000 characters") << QString(995, u'a') + "@b.hu" << QStringList();
    QTest::newRow("a good one and a bad one") << "a@b.hu, <c@d.hu>" << QStringList();
}

void TestMail::recipients()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    if (expected.isEmpty())
        QVERIFY_THROWS_EXCEPTION(ExportError, parseRecipients(text));
    else
        QCOMPARE(parseRecipients(text), expected);
}

void TestMail::longRecipientsFoldWithinTheLimit()
{
    MailMessage mail = sampleMail();
    mail.to.clear();
    for (const char letter : {'a', 'b', 'c', 'd', 'e'})
        mail.to << QString(64, QChar(letter)) + "@" + QString(186, QChar(letter)) + ".hu";
    FixedRandom random;
    const QByteArray message = composeMessage(mail, sendTime, random);
    const QByteArray head = message.left(message.indexOf("\r\n\r\n"));
    for (const QByteArray& line : head.split('\n'))
        QVERIFY2(line.size() <= 999, line.left(40).constData()); // RFC 5322: 998 and the CR
    QVERIFY(head.contains("To: " + mail.to[0].toLatin1() + ",\r\n " + mail.to[1].toLatin1() + ","));
}

// RFC 2047: an encoded word is at most 75 characters, and each holds whole
// characters of UTF-8, however long the non-ASCII text it is part of.
void TestMail::encodedWordsOfLongHeaders()
{
    MailMessage mail = sampleMail();
    const QString longCounty = QStringLiteral(
        "Szabolcs-Szatmár-Bereg-Hajdú-Bihar-Borsod-Abaúj-Zemplén-Győr-Moson-Sopron-Jász-Nagykun-Szolnok");
    mail.fromName = QStringLiteral("Devere Dedizavevide ") + longCounty + QStringLiteral(" Megyei Szervezete");
    mail.organization = mail.fromName;
    mail.subject = QStringLiteral("Véradónapok: ") + QString(40, u'ő') + QStringLiteral(" 🩸🩸🩸 ") + longCounty;
    mail.attachments[0].fileName =
        longCounty + QStringLiteral(" Megye Szeptember havi véradásai (2020. 09. 15.14.30.05).xml");
    FixedRandom random;
    const QByteArray message = composeMessage(mail, sendTime, random);
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]*)\\?="));
    int words = 0;
    for (auto match = word.globalMatch(QString::fromLatin1(message)); match.hasNext(); ++words) {
        const QRegularExpressionMatch found = match.next();
        QVERIFY2(found.capturedLength() <= 75, qPrintable(found.captured()));
        QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = strict.decode(QByteArray::fromBase64(found.captured(1).toLatin1()));
        QVERIFY2(!strict.hasError(), qPrintable(found.captured())); // no character split between two words
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
    }
    QVERIFY(words > 10);
    // A line that holds encoded words is at most 76 characters (and its CR).
    for (const QByteArray& line : message.left(message.indexOf("\r\n\r\n--")).split('\n'))
        QVERIFY2(!line.contains("=?UTF-8?B?") || line.size() <= 77, line.constData());
}

void TestMail::sendsToRealServerOverStartTls()
{
    PeerServer server;
    QVERIFY(server.start(peerScript("smtp_server.py"), {m_dir.filePath("real")}));
    SmtpSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = server.port();
    settings.user = QStringLiteral("feladó@example.hu");
    settings.password = QStringLiteral("titkos-jelszó");
    settings.caFile = server.caFile();
    int tlsCallbacks = 0;
    qint64 lastBytes = 0;
    QStringList statuses;
    int acceptanceWaits = 0;
    SmtpClient client(settings,
                      {[&](const QString& s) { statuses << s; }, [&](qint64 b) { lastBytes = b; },
                       [&] { ++tlsCallbacks; }, [&] { ++acceptanceWaits; }});
    FixedRandom random;
    MailMessage mail = sampleMail();
    // Lines that begin with "." on the wire: the receiver must get them back.
    mail.bodyLines << QStringLiteral(".pont a sor elején") << QStringLiteral(".") << QStringLiteral("..két pont");
    const QByteArray message = composeMessage(mail, sendTime, random);
    QVERIFY(message.contains("\r\n.pont a sor elej=C3=A9n\r\n.\r\n..k=C3=A9t pont\r\n"));
    try {
        client.connectToServer();
        QVERIFY(client.isConnected() && !client.isEncrypted());
        client.send(mail.fromAddress, mail.to, message);
    } catch (const ExportError& error) {
        QFAIL(qPrintable(error.message()));
    }
    QVERIFY(client.isEncrypted() && client.isAuthenticated());
    client.disconnect();
    QVERIFY(!client.isConnected() && !client.isAuthenticated());
    QVERIFY(tlsCallbacks > 0);
    QCOMPARE(acceptanceWaits, 1);
    QVERIFY(lastBytes >= message.size());
    QVERIFY(!statuses.isEmpty());

    const QJsonObject seen = server.finish();
    QCOMPARE(stringList(seen.value("transcript")),
             QStringList({"EHLO", "STARTTLS", "EHLO", "AUTH LOGIN", "RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA",
                          "QUIT"}));
    const QJsonObject received = seen.value("messages").toArray()[0].toObject();
    QVERIFY(received.value("tls").toBool());
    QVERIFY(received.value("authenticated").toBool());
    QCOMPARE(stringList(received.value("to")), mail.to);
    QCOMPARE(received.value("from").toString(), mail.fromAddress);
    // The lines beginning with "." arrive as they were written: the
    // composed message is received byte for byte.
    QCOMPARE(received.value("data").toString().toUtf8(), message);
}

void TestMail::noServerFailsToConnect()
{
    SmtpSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = 1; // nothing listens there
    SmtpClient client(settings);
    QVERIFY_THROWS_EXCEPTION(ExportError, client.connectToServer());
    QVERIFY(!client.isConnected());
    QVERIFY_THROWS_EXCEPTION(ExportError, client.send("a@b.hu", {"c@d.hu"}, "x"));
    client.disconnect(); // harmless without a connection
}

void TestMail::everyClientTextIsProperHungarian()
{
    const QStringList texts = SmtpText::samples();
    QVERIFY(texts.size() > 20);
    for (const QString& text : texts) {
        QVERIFY2(!text.isEmpty(), "empty text");
        QCOMPARE(QString::fromUtf8(text.toUtf8()), text);
        // Mojibake of UTF-8 read as Latin-1 shows as Ã, Â or Å followed by
        // another character of the Latin-1 supplement.
        static const QRegularExpression mojibake(QStringLiteral("[ÃÂÅ][\\x{80}-\\x{BF}]"));
        QVERIFY2(!mojibake.match(text).hasMatch(), qPrintable(text));
        for (const QChar ch : text)
            QVERIFY2(ch.isPrint() && ch != QChar::ReplacementCharacter, qPrintable(text));
    }
    // A server's text is shown as an excerpt: a few readable lines.
    QStringList flood;
    for (int i = 0; i < 20000; ++i)
        flood << QStringLiteral("550-") + QString(300, u'x');
    const QString shown = SmtpText::excerpt(flood.join(u'\n') + QStringLiteral("\n550 \x1b[31mvége"));
    QVERIFY(shown.size() < 1200);
    QVERIFY(shown.count(u'\n') <= 7);
    QVERIFY(shown.contains(QStringLiteral("további")));
    QCOMPARE(SmtpText::excerpt(QStringLiteral("550 5.1.1 ") + QChar(7) + QStringLiteral("csengő")),
             QStringLiteral("550 5.1.1 ?csengő"));
}

void TestMail::monthIsSentWithoutAWindow()
{
    DatabaseFolder folder;
    folder.chooseCounty(6);
    const int location = folder.addLocation("Szeged", 6720, "Dugonics tér 13.", "Egyetem");
    folder.addDonation("2020", "09", "05", "08:00", "12:30", location);
    PeerServer server;
    QVERIFY(server.start(peerScript("smtp_server.py"), {m_dir.filePath("dispatch"), "veradas@example.hu", "jelszo"}));
    DataModule dm;
    dm.datacore.open();
    MailAccount account;
    account.host = QStringLiteral("127.0.0.1");
    account.port = server.port();
    account.user = QStringLiteral("veradas@example.hu");
    account.password = QStringLiteral("jelszo");
    account.caFile = server.caFile();
    account.agent = QStringLiteral("Kelmir teszt");
    MonthExport month{6,
                      QStringLiteral("Csongrád"),
                      2020,
                      9,
                      QStringLiteral("Szeptember"),
                      QStringLiteral("2020. 09. 15.14.30.05"),
                      folder.path()};

    MonthDispatch dispatch(dm.datacore, dm.aq_toExcel);
    dispatch.setAccountFiles({}); // the account above, whatever mail account files any machine holds
    QSignalSpy measured(&dispatch, &MonthDispatch::messageMeasured);
    QSignalSpy written(&dispatch, &MonthDispatch::bytesWritten);
    QSignalSpy finished(&dispatch, &MonthDispatch::finished);
    dispatch.start(month, QStringLiteral("cel@example.hu"), account, sendTime);
    QVERIFY(dispatch.busy());
    QVERIFY(finished.wait(30000));
    QVERIFY(!dispatch.busy());
    const auto outcome = finished.first().first().value<DispatchOutcome>();
    QVERIFY2(!outcome.failed(), qPrintable(outcome.message));
    QVERIFY(QFile::exists(month.filePath("xml", "xml")));

    // The length told ahead is the length that went out.
    const QJsonObject received = server.finish()["messages"].toArray()[0].toObject();
    const QByteArray data = received["data"].toString().toUtf8();
    QCOMPARE(measured.first().first().toLongLong(), qint64(data.size()));
    QCOMPARE(written.last().first().toLongLong(), qint64(data.size()));
    QVERIFY(data.contains("X-Mailer: Kelmir teszt"));

    // A mail account file that cannot be used ends the send at once, with
    // nothing written and nothing sent.
    QDir(folder.path() + "/xml").removeRecursively();
    QFile broken(m_dir.filePath("broken.conf"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("[mail]\nhost posta.example.hu\n");
    broken.close();
    dispatch.setAccountFiles({broken.fileName()});
    finished.clear();
    dispatch.start(month, QStringLiteral("cel@example.hu"), account, sendTime);
    QCOMPARE(finished.size(), 1);
    const auto refused = finished.first().first().value<DispatchOutcome>();
    QCOMPARE(refused.stage, DispatchOutcome::Stage::Account);
    QVERIFY(refused.message.contains(QStringLiteral("2. sor")));
    QVERIFY(!QDir(folder.path() + "/xml").exists());
    dispatch.setAccountFiles({});

    // A refused recipient ends the send at once, with nothing written.
    finished.clear();
    dispatch.start(month, QStringLiteral("<cel@example.hu>"), account, sendTime);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<DispatchOutcome>().stage, DispatchOutcome::Stage::Recipients);
    QVERIFY(!finished.first().first().value<DispatchOutcome>().message.isEmpty());
    QVERIFY(!QDir(folder.path() + "/xml").exists());
}

void TestMail::mailAccountFiles_data()
{
    QTest::addColumn<QByteArray>("system");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QString>("shape");    // of the system file: mode, link, fifo, big, foreign
    QTest::addColumn<QString>("expected"); // host:port:sender:password:ca_file:agent, or "!" and part of the refusal
    const QByteArray system = "# the office's account\n[mail]\nhost = posta.example.hu\nport = 465\n"
                              "sender = veradas@example.hu\npassword = \"titok jelszó\"\nca_file =\n";
    const QString builtIn = QStringLiteral("beepitett.hu:587:beepitett@hu:jelszo:/ca.pem:Kelmir 1.2.2");
    QTest::newRow("no file: the built-in values") << QByteArray() << QByteArray() << "640" << builtIn;
    QTest::newRow("the system file") << system << QByteArray() << "640"
                                     << "posta.example.hu:465:veradas@example.hu:titok jelszó::Kelmir 1.2.2";
    QTest::newRow("the user's file overrides one key")
        << system << QByteArray("[other]\nx = 1\n[mail]\nhost = sajat.example.hu\n") << "640"
        << "sajat.example.hu:465:veradas@example.hu:titok jelszó::Kelmir 1.2.2";
    QTest::newRow("a password readable by everyone") << system << QByteArray() << "644"
                                                     << "!minden felhasználója";
    QTest::newRow("readable by everyone, without a password")
        << QByteArray("[mail]\nagent = Kelmir iroda\n") << QByteArray() << "644"
        << "beepitett.hu:587:beepitett@hu:jelszo:/ca.pem:Kelmir iroda";
    QTest::newRow("a password the group may change") << system << QByteArray() << "660"
                                                     << "!más is írhatja";
    QTest::newRow("a password in another user's file") << system << QByteArray() << "foreign"
                                                       << "!nem is a te tulajdonod";
    QTest::newRow("a link at the file's name") << system << QByteArray() << "link"
                                               << "!hivatkozás";
    QTest::newRow("a FIFO at the file's name") << QByteArray() << QByteArray() << "fifo"
                                               << "!nem közönséges fájl";
    QTest::newRow("a file of 100 MB") << QByteArray() << QByteArray() << "big"
                                      << "!túl nagy";
    QTest::newRow("a line without =") << QByteArray("[mail]\nhost posta.example.hu\n") << QByteArray() << "640"
                                      << "!2. sor nem „kulcs = érték” alakú.";
    QTest::newRow("an unknown key") << QByteArray() << QByteArray("[mail]\nhots = x\n") << "640"
                                    << "!2. sor ismeretlen kulcsot ad meg a [mail] szakaszban";
    QTest::newRow("a port that is no port") << QByteArray("[mail]\nport = 70000\n") << QByteArray() << "640"
                                            << "!a port nem egy szám 1 és 65535 között";
    QTest::newRow("a sender with a line break")
        << QByteArray("[mail]\nsender = \"veradas@example.hu\rRCPT TO:<x@y.hu>\"\n") << QByteArray() << "640"
        << "!feladója (sender) nem használható";
    QTest::newRow("a sender with an accented letter")
        << QByteArray("[mail]\nsender = véradás@example.hu\n") << QByteArray() << "640"
        << "!feladója (sender) nem használható";
}

// The refusals name the file and the line, never what the file holds.
void TestMail::mailAccountFiles()
{
    QFETCH(QByteArray, system);
    QFETCH(QByteArray, user);
    QFETCH(QString, shape);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    auto write = [&dir](const char* name, const QByteArray& text, QFile::Permissions permissions) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        if (text.isNull())
            return path; // no such file
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        file.close();
        file.setPermissions(permissions);
        return path;
    };
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
    QFile::Permissions permissions = owner | QFile::ReadGroup;
    if (shape == QLatin1String("644"))
        permissions |= QFile::ReadOther;
    if (shape == QLatin1String("660"))
        permissions |= QFile::WriteGroup;
    QString systemPath = write("system.conf", system, permissions);
    if (shape == QLatin1String("link")) {
        const QString target = write("target.conf", system, permissions);
        systemPath = dir.filePath("link.conf");
        QVERIFY(QFile::link(target, systemPath));
    } else if (shape == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(systemPath).constData(), 0640), 0);
    } else if (shape == QLatin1String("big")) {
        QFile big(systemPath);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(100 * 1024 * 1024)); // sparse: takes no room
    } else if (shape == QLatin1String("foreign")) {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QCOMPARE(::chown(QFile::encodeName(systemPath).constData(), 65534, 65534), 0);
    }
    MailAccount defaults;
    defaults.host = QStringLiteral("beepitett.hu");
    defaults.user = QStringLiteral("beepitett@hu");
    defaults.password = QStringLiteral("jelszo");
    defaults.caFile = QStringLiteral("/ca.pem");
    defaults.agent = QStringLiteral("Kelmir 1.2.2");
    const QStringList files = {systemPath, write("user.conf", user, owner)};
    try {
        const MailAccount account = MailAccount::configured(defaults, files);
        QCOMPARE(QStringList({account.host, QString::number(account.port), account.user, account.password,
                              account.caFile, account.agent})
                     .join(u':'),
                 expected);
    } catch (const ExportError& error) {
        QVERIFY2(expected.startsWith(u'!') && error.message().contains(expected.mid(1)), qPrintable(error.message()));
        for (const char* content : {"titok", "posta.example.hu", "hots", "70000", "RCPT", "véradás"})
            QVERIFY2(!error.message().contains(QString::fromUtf8(content)), qPrintable(error.message()));
    }
}

QTEST_GUILESS_MAIN(TestMail)
#include "TestMail.moc"
