"""Parses a message file with Python's email package under both policies and
prints JSON: defects, decoded headers, parts, attachment name and bytes
(base64), body text. Usage: parse_mail.py FILE"""
import base64
import email
import email.header
import email.policy
import json
import sys

raw = open(sys.argv[1], "rb").read()
out = {}
for name, policy in (("compat32", email.policy.compat32), ("default", email.policy.default)):
    message = email.message_from_bytes(raw, policy=policy)
    defects = [repr(d) for part in message.walk() for d in part.defects]
    headers = {}
    for key in ("From", "To", "Subject", "Reply-To", "Organization", "Date", "X-Mailer", "MIME-Version"):
        value = message[key]
        if value is not None:
            unfolded = str(value).replace("\r\n", "").replace("\n", "")
            headers[key] = str(email.header.make_header(email.header.decode_header(unfolded)))
    parts = []
    for part in message.walk():
        if part.is_multipart():
            continue
        filename = part.get_filename()
        if filename is not None:
            filename = str(email.header.make_header(email.header.decode_header(filename)))
        payload = part.get_payload(decode=True)
        parts.append({"type": part.get_content_type(), "filename": filename,
                      "data": base64.b64encode(payload).decode(),
                      "text": payload.decode(part.get_content_charset() or "latin-1")
                      if part.get_content_maintype() == "text" else None})
    out[name] = {"defects": defects, "headers": headers, "parts": parts,
                 "multipart": message.get_content_type()}
print(json.dumps(out, ensure_ascii=False))
