"""A real SMTP submission server for the tests: aiosmtpd on 127.0.0.1 with
STARTTLS (certificate from a test CA) and AUTH LOGIN. Prints one JSON line
{"port": P, "ca": PATH} when ready, serves until its standard input closes,
then prints one JSON line with the command transcript and the messages.
Usage: smtp_server.py FOLDER [USER PASSWORD]"""
import asyncio
import json
import os
import socket
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

import certs

folder = sys.argv[1]
user, password = (sys.argv[2], sys.argv[3]) if len(sys.argv) > 3 else ("feladó@example.hu", "titkos-jelszó")
ca, cert, key = certs.make(folder)
context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
context.load_cert_chain(cert, key)

transcript, messages = [], []


class Handler:
    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        transcript.append("EHLO")
        session.host_name = hostname  # a handler that answers EHLO records the name itself
        return responses

    async def handle_HELO(self, server, session, envelope, hostname):
        transcript.append("HELO")
        session.host_name = hostname
        return "250 " + server.hostname

    def handle_STARTTLS(self, server, session, envelope):  # called synchronously, after the handshake
        transcript.append("STARTTLS")
        return True

    async def handle_RSET(self, server, session, envelope):
        transcript.append("RSET")
        return "250 OK"

    async def handle_MAIL(self, server, session, envelope, address, options):
        transcript.append("MAIL FROM")
        envelope.mail_from = address
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        transcript.append("RCPT TO")
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        transcript.append("DATA")
        messages.append({"from": envelope.mail_from, "to": envelope.rcpt_tos,
                         "data": envelope.original_content.decode("utf-8", "replace"),
                         "tls": session.ssl is not None, "authenticated": bool(session.authenticated)})
        return "250 Message accepted"

    async def handle_QUIT(self, server, session, envelope):
        transcript.append("QUIT")
        return "221 Bye"


def authenticator(server, session, envelope, mechanism, auth_data):
    transcript.append("AUTH " + mechanism)
    ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user \
        and auth_data.password.decode() == password
    return AuthResult(success=ok)


with socket.socket() as probe:
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
controller = Controller(Handler(), hostname="127.0.0.1", port=port, tls_context=context,
                        require_starttls=True, authenticator=authenticator, auth_require_tls=True,
                        data_size_limit=64 * 1024 * 1024)
controller.start()
print(json.dumps({"port": port, "ca": ca}), flush=True)
sys.stdin.read()
controller.stop()
print(json.dumps({"transcript": transcript, "messages": messages}), flush=True)
