"""A small scripted SMTP server for the client's edge cases, well-behaved or
hostile. Serves one connection on 127.0.0.1 following SCENARIO, prints
{"port": P, "ca": PATH} when ready and, when the connection ends,
{"commands": [...], "lines": [...]} (the commands it understood, and every
line it received before DATA, raw).
Usage: scripted_smtp.py FOLDER SCENARIO
Scenarios:
  neither                 no STARTTLS, no AUTH: the whole dialogue in clear
  auth-without-starttls   AUTH LOGIN offered, STARTTLS not
  starttls-refused        STARTTLS answered 454
  plain-mechanism-only    STARTTLS, then AUTH PLAIN only
  ehlo-refused            EHLO answered 502: HELO
  login-accepted-at-name  STARTTLS, then 235 to the login name
  second-recipient-refused, data-refused
  silent                  never greets
  untrusted-certificate   a self-signed certificate
  tls-reset-after-354     STARTTLS; resets the connection while the message arrives
  421-after-rcpt          STARTTLS; answers RCPT with 421 and closes
  long-line               answers EHLO with 1 MB and no line end
  endless-multiline       answers EHLO with "250-" lines that never end
  long-multiline          answers EHLO with 70 KiB of short "250-" lines at once, then waits
  dribble                 every reply a byte at a time
  plain-without-starttls  AUTH PLAIN offered, STARTTLS not: nothing to authenticate with
  close-after-starttls    answers STARTTLS with 220 and closes the connection
  slow-acceptance         answers the message's final "." after 2.5 s
  no-acceptance           never answers the message's final "."
"""
import json
import socket
import ssl
import struct
import sys
import time

import certs

folder, scenario = sys.argv[1], sys.argv[2]
ca, cert, key = certs.make(folder, name="untrusted" if scenario == "untrusted-certificate" else "server",
                           signed=scenario != "untrusted-certificate")
commands, lines = [], []
tls_features = ["STARTTLS", "AUTH LOGIN"]
features = {"auth-without-starttls": ["AUTH LOGIN PLAIN"],
            "starttls-refused": tls_features,
            "plain-mechanism-only": ["STARTTLS", "AUTH PLAIN"],
            "login-accepted-at-name": ["STARTTLS", "AUTH=LOGIN"],
            "second-recipient-refused": tls_features,
            "data-refused": tls_features,
            "untrusted-certificate": tls_features,
            "tls-reset-after-354": tls_features,
            "421-after-rcpt": tls_features,
            "plain-without-starttls": ["AUTH PLAIN"],
            "close-after-starttls": tls_features,
            "slow-acceptance": tls_features,
            "no-acceptance": tls_features}.get(scenario, [])

server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(1)
print(json.dumps({"port": server.getsockname()[1], "ca": ca}), flush=True)
connection, _ = server.accept()
reader = connection.makefile("rb")
encrypted = False


def send(line):
    data = line.encode() + b"\r\n"
    if scenario == "dribble":
        for i in range(len(data)):
            connection.sendall(data[i:i + 1])
            time.sleep(0.002)
    else:
        connection.sendall(data)


def receive():
    line = reader.readline()
    if not line:
        raise EOFError
    return line.decode("utf-8", "replace").rstrip("\r\n")


def ehlo_reply():
    offered = [f for f in features if f != "STARTTLS" or not encrypted]
    reply = ["scripted.test"] + offered
    for i, line in enumerate(reply):
        send(("250 " if i == len(reply) - 1 else "250-") + line)


def reset_connection():
    connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    reader.close()  # the file holds a reference: the socket closes with the last one
    connection.close()
    raise EOFError


try:
    if scenario == "silent":
        receive()  # never greets; waits for the client to give up
        raise EOFError
    send("220 scripted.test ESMTP")
    recipients = 0
    while True:
        line = receive()
        lines.append(line)
        verb = line.split(" ")[0].split(":")[0].upper()
        if verb in ("EHLO", "HELO", "STARTTLS", "RSET", "DATA", "QUIT"):
            commands.append(verb)
        elif verb == "AUTH":
            commands.append(line)
        elif verb == "MAIL":
            commands.append("MAIL FROM")
        elif verb == "RCPT":
            commands.append("RCPT TO")
        else:
            commands.append("<data>")
        if verb == "EHLO":
            if scenario == "ehlo-refused":
                send("502 5.5.1 EHLO not supported")
            elif scenario == "long-line":
                connection.sendall(b"250-" + b"x" * (1024 * 1024))
                while receive():
                    pass
            elif scenario == "long-multiline":
                connection.sendall(b"250-x\r\n" * (70 * 1024 // 7))
                while receive():
                    pass
            elif scenario == "endless-multiline":
                while True:
                    send("250-scripted.test still talking")
                    time.sleep(0.1)
            else:
                ehlo_reply()
        elif verb == "HELO":
            send("250 scripted.test")
        elif verb == "STARTTLS":
            if scenario == "starttls-refused":
                send("454 4.7.0 TLS not available")
                continue
            send("220 Go ahead")
            if scenario == "close-after-starttls":
                reader.close()
                connection.close()
                raise EOFError
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert, key)
            try:
                connection = context.wrap_socket(connection, server_side=True)
            except ssl.SSLError:
                commands.append("<handshake refused>")
                raise EOFError
            reader = connection.makefile("rb")
            encrypted = True
        elif verb == "AUTH":
            send("334 VXNlcm5hbWU6")
            lines.append(receive())
            commands.append("<name>")
            if scenario == "login-accepted-at-name":
                send("235 2.7.0 Authenticated")
                continue
            send("334 UGFzc3dvcmQ6")
            lines.append(receive())
            commands.append("<password>")
            send("235 2.7.0 Authenticated")
        elif verb in ("RSET", "MAIL"):
            send("250 OK")
        elif verb == "RCPT":
            recipients += 1
            if scenario == "421-after-rcpt":
                send("421 4.3.2 Service shutting down, closing connection")
                reader.close()
                connection.close()
                raise EOFError
            if scenario == "second-recipient-refused" and recipients == 2:
                send("550 5.1.1 No such user here")
            else:
                send("250 OK")
        elif verb == "DATA":
            if scenario == "data-refused":
                send("554 5.5.1 Transaction failed")
                continue
            send("354 End data with <CR><LF>.<CR><LF>")
            if scenario == "tls-reset-after-354":
                time.sleep(0.2)  # the message arrives, unread
                reset_connection()
            while receive() != ".":
                pass
            commands.append(".")
            if scenario == "no-acceptance":
                while receive():
                    pass
            if scenario == "slow-acceptance":
                time.sleep(2.5)
            send("250 Accepted")
        elif verb == "QUIT":
            send("221 Bye")
            break
        else:
            send("500 Unknown command")
except (EOFError, ConnectionError, OSError):
    pass
print(json.dumps({"commands": commands, "lines": lines}), flush=True)
