"""Makes a test certificate authority and a server certificate for
127.0.0.1 / localhost signed by it (openssl command line). Used by the SMTP
peers; the client under test is told to trust ca.pem."""
import os
import subprocess


def make(folder, name="server", signed=True):
    os.makedirs(folder, exist_ok=True)

    def run(*args):
        subprocess.run(["openssl", *args], check=True, capture_output=True)

    ca_key, ca_cert = os.path.join(folder, "ca.key"), os.path.join(folder, "ca.pem")
    if not os.path.exists(ca_cert):
        run("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", ca_key, "-out", ca_cert,
            "-days", "2", "-subj", "/CN=Kelmir test CA")
    key, csr, cert = (os.path.join(folder, name + ext) for ext in (".key", ".csr", ".pem"))
    extensions = os.path.join(folder, name + ".ext")
    with open(extensions, "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n")
    run("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr, "-subj", "/CN=localhost")
    if signed:
        run("x509", "-req", "-in", csr, "-CA", ca_cert, "-CAkey", ca_key, "-CAcreateserial", "-out", cert,
            "-days", "2", "-extfile", extensions)
    else:  # self-signed: nobody vouches for it
        run("x509", "-req", "-in", csr, "-signkey", key, "-out", cert, "-days", "2", "-extfile", extensions)
    return ca_cert, cert, key
