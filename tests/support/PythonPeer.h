#pragma once

#include <QJsonDocument>
#include <QStringList>

// Runs a peer script under Debian's /usr/bin/python3 (where python3-xlrd,
// python3-olefile and python3-aiosmtpd live) and returns its JSON output;
// a failed run fails the calling test with the script's error output.
QJsonDocument runPythonPeer(const QString& script, const QStringList& arguments, int timeoutMs = 120000);

// Path of a script in tests/peers.
QString peerScript(const QString& name);

#include <QJsonObject>
#include <QProcess>

// A peer server run by /usr/bin/python3: start() waits for its first JSON
// line (the port and the CA it trusts); finish() closes its input and
// returns its last JSON line (what it saw).
class PeerServer {
public:
    bool start(const QString& script, const QStringList& arguments);
    QJsonObject finish(int timeoutMs = 30000);
    // Sends one command line and returns the JSON line it is answered with.
    QJsonObject command(const QByteArray& line);
    quint16 port() const { return quint16(m_ready.value("port").toInt()); }
    QString caFile() const { return m_ready.value("ca").toString(); }
    ~PeerServer();

private:
    QProcess m_process;
    QJsonObject m_ready;
};
