// Composes the dispatch mail with a 10 MB attachment and sends it over
// STARTTLS with AUTH LOGIN to a loopback server, ROUNDS times; prints the
// median round in milliseconds and writes the last message to MESSAGE so
// smtplib can send the very same bytes.
// Usage: bench-mail PORT CA_FILE ROUNDS MESSAGE

#include "export/DispatchMail.h"
#include "export/RandomSource.h"
#include "export/SmtpClient.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    SmtpSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = quint16(QByteArray(argv[1]).toUInt());
    settings.caFile = QString::fromLocal8Bit(argv[2]);
    settings.user = QStringLiteral("veradas@example.hu");
    settings.password = QStringLiteral("jelszo");
    const int rounds = QByteArray(argv[3]).toInt();

    QByteArray attachment(10 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator(42).fillRange(reinterpret_cast<quint32*>(attachment.data()), attachment.size() / 4);
    DispatchDetails details;
    details.county = QStringLiteral("Csongrád");
    details.recipients = {QStringLiteral("cel@example.hu")};
    details.monthName = QStringLiteral("Szeptember");
    details.senderMailbox = settings.user;
    details.mailAgent = QStringLiteral("Kelmir bench");
    details.attachmentName = QStringLiteral("Csongrád Megye Szeptember havi véradásai (bench).xml");
    details.attachment = attachment;

    SystemRandom random;
    std::vector<double> times;
    MailMessage mail;
    QDateTime now;
    QByteArray boundary;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        // As the program sends: measured, then written to the wire in pieces.
        mail = buildDispatchMail(details);
        now = QDateTime::currentDateTime();
        boundary = mime::boundary(random);
        (void)messageSize(mail, now, boundary);
        SmtpClient client(settings);
        client.connectToServer();
        client.send(settings.user, details.recipients,
                    [&](const SmtpClient::Sink& sink) { writeMessage(mail, now, boundary, sink); });
        client.disconnect();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    // The very same bytes for smtplib, written in pieces too.
    QFile out(QString::fromLocal8Bit(argv[4]));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    writeMessage(mail, now, boundary, [&out](const char* data, qsizetype size) { out.write(data, size); });
    std::printf("work_ms=%.1f\n", times[times.size() / 2]);
    return 0;
}
