#include "support/PythonPeer.h"

#include "TestConfig.h"

#include <QProcess>
#include <QTest>

QString peerScript(const QString& name)
{
    return QStringLiteral(KELMIR_SOURCE_DIR "/tests/peers/") + name;
}

QJsonDocument runPythonPeer(const QString& script, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitCode() != 0) {
        qWarning("%s", process.readAllStandardError().constData());
        return {};
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(process.readAllStandardOutput(), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("peer output is not JSON: %s", qPrintable(error.errorString()));
    return document;
}
