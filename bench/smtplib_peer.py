"""The peer of bench-mail: Python's smtplib sending the same message bytes to
the same server (STARTTLS, AUTH LOGIN), ROUNDS times; prints the median.
Usage: smtplib_peer.py PORT CA_FILE ROUNDS MESSAGE"""
import smtplib
import ssl
import statistics
import sys
import time

port, ca, rounds, path = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), sys.argv[4]
message = open(path, "rb").read()
context = ssl.create_default_context(cafile=ca)
times = []
for _ in range(rounds):
    start = time.perf_counter()
    with smtplib.SMTP("127.0.0.1", port) as client:
        client.ehlo("Kelmir")
        client.starttls(context=context)
        client.ehlo("Kelmir")
        client.login("veradas@example.hu", "jelszo")
        client.sendmail("veradas@example.hu", ["cel@example.hu"], message)
    times.append((time.perf_counter() - start) * 1000)
print("work_ms=%.1f" % statistics.median(times))
