// The mail composer and the SMTP client: exact lines, Python's email parser,
// a real aiosmtpd server with STARTTLS and AUTH LOGIN, and scripted servers.

#include "export/ExportError.h"
#include "export/MailMessage.h"
#include "export/RandomSource.h"
#include "export/SmtpClient.h"
#include "support/PythonPeer.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

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
    void folding_data();
    void folding();
    void quotedPrintableAndDots();
    void boundaryShape();
    void recipients_data();
    void recipients();
    void sendsToRealServerOverStartTls();
    void scriptedServers_data();
    void scriptedServers();
    void noServerFailsToConnect();

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
        const QJsonArray parts = result.value("parts").toArray();
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts[0].toObject().value("type").toString(), QStringLiteral("text/plain"));
        QCOMPARE(parts[0].toObject().value("text").toString().split(QStringLiteral("\r\n")).mid(0, 3),
                 mail.bodyLines);
        const QJsonObject attachment = parts[1].toObject();
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
    QTest::newRow("one long word") << QByteArray("X: " + QByteArray(90, 'c')) << QByteArray("X: " + QByteArray(90, 'c'));
}

void TestMail::folding()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    QCOMPARE(mime::fold(line), expected);
}

void TestMail::quotedPrintableAndDots()
{
    QCOMPARE(mime::quotedPrintable(QStringLiteral("Kérlek ne válaszolj rá!\n\nvégén szóköz ").toUtf8()),
             QByteArray("K=C3=A9rlek ne v=C3=A1laszolj r=C3=A1!\r\n\r\nv=C3=A9g=C3=A9n sz=C3=B3k=C3=B6z=20"));
    const QByteArray longLine = mime::quotedPrintable(QByteArray(200, 'a'));
    for (const QByteArray& line : longLine.split('\n'))
        QVERIFY(line.size() <= 77);
    QCOMPARE(mime::dotStuffed(".first\r\nmiddle\r\n..two\r\n.\r\n"), QByteArray("..first\r\nmiddle\r\n...two\r\n..\r\n"));
    QCOMPARE(mime::base64Lines(QByteArray(58, 'x')).split('\n').first().size(), 77); // 76 and the CR
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
    SmtpClient client(settings, {[&](const QString& s) { statuses << s; }, [&](qint64 b) { lastBytes = b; },
                                 [&] { ++tlsCallbacks; }});
    FixedRandom random;
    const MailMessage mail = sampleMail();
    const QByteArray message = composeMessage(mail, sendTime, random);
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
    // The line beginning with "." arrives as it was written (its base64 form
    // is in the attachment; the composed text is received byte for byte).
    QCOMPARE(received.value("data").toString().toUtf8(), message);
}

void TestMail::scriptedServers_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("failsAt"); // "", "connect" or "send"
    QTest::addColumn<QString>("errorHas");
    QTest::newRow("no STARTTLS: plain AUTH LOGIN")
        << "plain-login"
        << QStringList{"EHLO", "AUTH LOGIN", "<name>", "<password>", "RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA",
                       ".", "QUIT"}
        << "" << "";
    QTest::newRow("STARTTLS answered 454")
        << "starttls-refused" << QStringList{"EHLO", "STARTTLS"} << "send" << "454";
    QTest::newRow("PLAIN only: no AUTH")
        << "plain-mechanism-only"
        << QStringList{"EHLO", "RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA", ".", "QUIT"} << "" << "";
    QTest::newRow("EHLO refused: HELO, no STARTTLS, no AUTH")
        << "ehlo-refused"
        << QStringList{"EHLO", "HELO", "RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA", ".", "QUIT"} << "" << "";
    QTest::newRow("235 on the login name")
        << "login-accepted-at-name"
        << QStringList{"EHLO", "AUTH LOGIN", "<name>", "RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "DATA", ".", "QUIT"}
        << "" << "";
    QTest::newRow("second recipient refused")
        << "second-recipient-refused"
        << QStringList{"EHLO", "AUTH LOGIN", "<name>", "<password>", "RSET", "MAIL FROM", "RCPT TO", "RCPT TO", "RSET",
                       "QUIT"}
        << "send" << "550 5.1.1 No such user here";
    QTest::newRow("silent server") << "silent" << QStringList{} << "connect" << "Időtúllépés";
    QTest::newRow("untrusted certificate")
        << "untrusted-certificate" << QStringList{"EHLO", "STARTTLS", "<handshake refused>"} << "send"
        << "tanúsítvány";
}

void TestMail::scriptedServers()
{
    QFETCH(QString, scenario);
    QFETCH(QStringList, commands);
    QFETCH(QString, failsAt);
    QFETCH(QString, errorHas);
    PeerServer server;
    QVERIFY(server.start(peerScript("scripted_smtp.py"), {m_dir.filePath(scenario), scenario}));
    SmtpSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = server.port();
    settings.user = QStringLiteral("veradas@example.hu");
    settings.password = QStringLiteral("jelszo");
    settings.caFile = server.caFile();
    settings.replyTimeoutMs = 1500;
    SmtpClient client(settings);
    FixedRandom random;
    const MailMessage mail = sampleMail();
    QString error;
    QString failedAt;
    try {
        failedAt = "connect";
        client.connectToServer();
        failedAt = "send";
        client.send(mail.fromAddress, mail.to, composeMessage(mail, sendTime, random));
        failedAt.clear();
    } catch (const ExportError& e) {
        error = e.message();
    }
    client.disconnect();
    QCOMPARE(failedAt, failsAt);
    QVERIFY2(error.contains(errorHas), qPrintable(error));
    QVERIFY(!client.isConnected());
    const QJsonObject seen = server.finish();
    QCOMPARE(stringList(seen.value("commands")), commands);
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

QTEST_GUILESS_MAIN(TestMail)
#include "TestMail.moc"
