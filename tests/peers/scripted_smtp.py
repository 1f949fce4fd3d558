"""A small scripted SMTP server for the client's edge cases. Serves one
connection on 127.0.0.1 following SCENARIO, prints {"port": P, "ca": PATH}
when ready and, when the connection ends, {"commands": [...]}.
Usage: scripted_smtp.py FOLDER SCENARIO
Scenarios: plain-login, starttls-refused, plain-mechanism-only, ehlo-refused,
login-accepted-at-name, second-recipient-refused, silent, untrusted-certificate."""
import json
import socket
import ssl
import sys

import certs

folder, scenario = sys.argv[1], sys.argv[2]
ca, cert, key = certs.make(folder, name="untrusted" if scenario == "untrusted-certificate" else "server",
                           signed=scenario != "untrusted-certificate")
commands = []

server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(1)
print(json.dumps({"port": server.getsockname()[1], "ca": ca}), flush=True)
connection, _ = server.accept()
reader = connection.makefile("rb")


def send(line):
    connection.sendall(line.encode() + b"\r\n")


def receive():
    line = reader.readline()
    if not line:
        raise EOFError
    return line.decode("utf-8", "replace").rstrip("\r\n")


def ehlo_reply():
    features = {"plain-login": ["AUTH LOGIN PLAIN"],
                "plain-mechanism-only": ["AUTH PLAIN"],
                "login-accepted-at-name": ["AUTH=LOGIN"],
                "second-recipient-refused": ["AUTH LOGIN"],
                "starttls-refused": ["STARTTLS", "AUTH LOGIN"],
                "untrusted-certificate": ["STARTTLS", "AUTH LOGIN"]}.get(scenario, [])
    lines = ["scripted.test"] + features
    for i, line in enumerate(lines):
        send(("250 " if i == len(lines) - 1 else "250-") + line)


try:
    if scenario == "silent":
        receive()  # never greets; waits for the client to give up
        raise EOFError
    send("220 scripted.test ESMTP")
    recipients = 0
    while True:
        line = receive()
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
            else:
                ehlo_reply()
        elif verb == "HELO":
            send("250 scripted.test")
        elif verb == "STARTTLS":
            if scenario == "starttls-refused":
                send("454 4.7.0 TLS not available")
                continue
            send("220 Go ahead")
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert, key)
            try:
                connection = context.wrap_socket(connection, server_side=True)
            except ssl.SSLError:
                commands.append("<handshake refused>")
                raise EOFError
            reader = connection.makefile("rb")
        elif verb == "AUTH":
            send("334 VXNlcm5hbWU6")
            receive()
            commands.append("<name>")
            if scenario == "login-accepted-at-name":
                send("235 2.7.0 Authenticated")
                continue
            send("334 UGFzc3dvcmQ6")
            receive()
            commands.append("<password>")
            send("235 2.7.0 Authenticated")
        elif verb == "RSET":
            send("250 OK")
        elif verb == "MAIL":
            send("250 OK")
        elif verb == "RCPT":
            recipients += 1
            if scenario == "second-recipient-refused" and recipients == 2:
                send("550 5.1.1 No such user here")
            else:
                send("250 OK")
        elif verb == "DATA":
            send("354 End data with <CR><LF>.<CR><LF>")
            while receive() != ".":
                pass
            commands.append(".")
            send("250 Accepted")
        elif verb == "QUIT":
            send("221 Bye")
            break
        else:
            send("500 Unknown command")
except (EOFError, ConnectionError, OSError):
    pass
print(json.dumps({"commands": commands}), flush=True)
