#include "export/SmtpTexts.h"

#include <algorithm>

namespace SmtpText {
namespace {

constexpr int excerptLines = 6;
constexpr int excerptLineLength = 160;

QString waitName(Wait wait)
{
    switch (wait) {
    case Wait::Connect:
        return QStringLiteral("kapcsolódás");
    case Wait::Reply:
        return QStringLiteral("válasz");
    case Wait::Sending:
        return QStringLiteral("küldés");
    case Wait::Handshake:
        return QStringLiteral("TLS kézfogás");
    case Wait::Acceptance:
        return QStringLiteral("a levél átvételének nyugtázása");
    }
    return {};
}

} // namespace

QString timeout(Wait wait, int seconds)
{
    return QStringLiteral("Időtúllépés: a kiszolgáló %1 másodpercen belül nem válaszolt (%2).")
        .arg(seconds)
        .arg(waitName(wait));
}

QString networkError(const QString& systemText)
{
    return QStringLiteral("Hálózati hiba: %1").arg(systemText);
}

QString hostNotFound(const QString& host, const QString& systemText)
{
    return QStringLiteral("A(z) %1 kiszolgáló nem található: %2").arg(host, systemText);
}

QString cannotConnect(const QString& host, int port, const QString& reason)
{
    return QStringLiteral("Nem sikerült kapcsolódni a(z) %1:%2 kiszolgálóhoz: %3").arg(host).arg(port).arg(reason);
}

QString connectTimeoutReason()
{
    return QStringLiteral("időtúllépés");
}

QString notConnected()
{
    return QStringLiteral("Nincs kapcsolat a levelezőkiszolgálóval.");
}

QString closedByServer()
{
    return QStringLiteral("A kiszolgáló bontotta a kapcsolatot.");
}

QString brokenWhileSending(const QString& reason)
{
    return QStringLiteral("A kapcsolat megszakadt küldés közben: %1").arg(reason);
}

QString replyTooLong(int limitBytes)
{
    return QStringLiteral("A kiszolgáló válasza túl hosszú (több mint %1 bájt); a küldés megszakadt.").arg(limitBytes);
}

QString unintelligibleReply(const QString& excerptText)
{
    return QStringLiteral("Érthetetlen válasz a kiszolgálótól: %1").arg(excerptText);
}

QString trustStoreUnusable(const QString& tlsText)
{
    return QStringLiteral("A megbízható tanúsítványok nem tölthetők be: %1").arg(tlsText);
}

QString certificateUnverifiable(const QString& tlsText)
{
    return QStringLiteral("A kiszolgáló tanúsítványa nem ellenőrizhető: %1").arg(tlsText);
}

QString tlsFailed(const QString& tlsText)
{
    return QStringLiteral("A TLS kapcsolat nem jött létre: %1").arg(tlsText);
}

QString unknownTlsError()
{
    return QStringLiteral("ismeretlen TLS hiba");
}

QString closedDuringHandshake()
{
    return QStringLiteral("A kiszolgáló a titkosított kapcsolat (TLS) felépítése közben bontotta a kapcsolatot.");
}

QString acceptanceUnknown(const QString& reason)
{
    return QStringLiteral("A levél teljes egészében elment, de a kiszolgáló nem nyugtázta az átvételét. %1 Lehet, "
                          "hogy a levél mégis megérkezik: mielőtt újra elküldöd, kérdezd meg a címzettet.")
        .arg(reason);
}

QString unexpected(const QString& reason)
{
    return reason.isEmpty() ? QStringLiteral("Váratlan hiba történt a küldés közben.")
                            : QStringLiteral("Váratlan hiba történt a küldés közben: %1").arg(reason);
}

QString authenticationNeedsEncryption()
{
    return QStringLiteral("A kiszolgáló azonosítást kér, de titkosított kapcsolatot (STARTTLS) nem kínál. A jelszó "
                          "titkosítás nélkül nem küldhető el, ezért a levél nem ment el.");
}

QString statusResolving(const QString& host)
{
    return QStringLiteral("Név feloldása: %1").arg(host);
}

QString statusConnecting(const QString& host, int port)
{
    return QStringLiteral("Kapcsolódás: %1:%2").arg(host).arg(port);
}

QString status(Status status)
{
    // In the order of Status.
    static const char* const texts[] = {"Kapcsolódva.",
                                        "TLS kapcsolat felépítése",
                                        "TLS kapcsolat létrejött.",
                                        "Azonosítás",
                                        "Az üzenet küldése",
                                        "Várakozás a levél átvételének nyugtázására",
                                        "Kapcsolat bontva."};
    return QString::fromUtf8(texts[int(status)]);
}

QString excerpt(const QString& serverText)
{
    const QStringList lines = serverText.split(u'\n');
    QStringList kept;
    for (const QString& line : lines.mid(0, excerptLines)) {
        QString clean;
        clean.reserve(std::min<qsizetype>(line.size(), excerptLineLength + 1));
        for (const QChar ch : line) {
            if (clean.size() == excerptLineLength) {
                clean += u'…';
                break;
            }
            clean += ch.isPrint() || ch.isSurrogate() ? ch : QChar(u'?');
        }
        kept << clean;
    }
    if (lines.size() > excerptLines)
        kept << QStringLiteral("… (további %1 sor)").arg(lines.size() - excerptLines);
    return kept.join(u'\n');
}

QStringList samples()
{
    const QString host = QStringLiteral("mail.example.hu");
    const QString system = QStringLiteral("Connection refused");
    QStringList all;
    for (Wait wait : {Wait::Connect, Wait::Reply, Wait::Sending, Wait::Handshake, Wait::Acceptance})
        all << timeout(wait, 60);
    all << networkError(system) << hostNotFound(host, system) << cannotConnect(host, 587, connectTimeoutReason())
        << notConnected() << closedByServer() << brokenWhileSending(system) << replyTooLong(4096)
        << unintelligibleReply(QStringLiteral("xyz")) << trustStoreUnusable(unknownTlsError())
        << certificateUnverifiable(system) << tlsFailed(system) << closedDuringHandshake()
        << acceptanceUnknown(timeout(Wait::Acceptance, 600)) << unexpected(QStringLiteral("std::bad_alloc"))
        << unexpected(QString()) << authenticationNeedsEncryption() << statusResolving(host)
        << statusConnecting(host, 587);
    for (int s = int(Status::Connected); s <= int(Status::Disconnected); ++s)
        all << status(Status(s));
    return all;
}

} // namespace SmtpText
