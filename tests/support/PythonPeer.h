#pragma once

#include <QJsonDocument>
#include <QStringList>

// Runs a peer script under Debian's /usr/bin/python3 (where python3-xlrd,
// python3-olefile and python3-aiosmtpd live) and returns its JSON output;
// a failed run fails the calling test with the script's error output.
QJsonDocument runPythonPeer(const QString& script, const QStringList& arguments, int timeoutMs = 120000);

// Path of a script in tests/peers.
QString peerScript(const QString& name);
