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

bool PeerServer::start(const QString& script, const QStringList& arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + arguments);
    if (!m_process.waitForStarted(10000))
        return false;
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(30000))
            return false;
    }
    m_ready = QJsonDocument::fromJson(m_process.readLine()).object();
    return port() != 0;
}

QJsonObject PeerServer::finish(int timeoutMs)
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(timeoutMs))
        m_process.kill();
    const QList<QByteArray> lines = m_process.readAllStandardOutput().trimmed().split('\n');
    return QJsonDocument::fromJson(lines.last()).object();
}

QJsonObject PeerServer::command(const QByteArray& line)
{
    m_process.write(line + '\n');
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000))
            return {};
    }
    return QJsonDocument::fromJson(m_process.readLine()).object();
}

PeerServer::~PeerServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
