"""Peers of the keep-alive's Wine tests, started by the test under Wine as a
Linux program (Wine cannot end such a process, so each ends by itself: when
<dir>/stop appears or after a minute).

  loopback_peers.py icmp <dir> <address>
      counts the ICMP echo requests to <address> that carry the keep-alive's
      payload (32 bytes of "E" at the end), one line each in <dir>/echoes.
  loopback_peers.py web <dir>
      a web server and tinyproxy (Basic authorization joe:s3cret) on free
      loopback ports; each request the web server answers is a line of
      <dir>/requests: the path and the Via header the proxy adds ("-" without).

  loopback_peers.py web-tls <dir>
      the same with HTTPS: a throw-away authority (tests/e2e/tls_certs.py)
      writes <dir>/root.der for the test to trust, and the server shows a
      certificate for localhost signed by it.

Both write <dir>/ready when they listen ("<web port> <proxy port>" for web)."""
import http.server
import os
import shutil
import socket
import subprocess
import sys
import threading
import time

LIFETIME = 60


def stopping(directory, started):
    return os.path.exists(os.path.join(directory, "stop")) or time.time() - started > LIFETIME


def ready(directory, text=""):
    path = os.path.join(directory, "ready")
    with open(path + ".tmp", "w") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


def icmp(directory, address):
    started = time.time()
    s = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_ICMP)
    s.settimeout(0.2)
    ready(directory)
    with open(os.path.join(directory, "echoes"), "a") as out:
        while not stopping(directory, started):
            try:
                packet, _ = s.recvfrom(2048)
            except socket.timeout:
                continue
            header = (packet[0] & 0x0F) * 4
            destination = socket.inet_ntoa(packet[16:20])
            message = packet[header:]
            if destination == address and message[:1] == b"\x08" and message.endswith(b"E" * 32):
                out.write(f"echo-request bytes={len(message)}\n")
                out.flush()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def web(directory, tls=False):
    started = time.time()
    log = open(os.path.join(directory, "requests"), "a")

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            log.write(f"{self.path} via={self.headers.get('Via', '-')}\n")
            log.flush()
            body = b"<html><body>keep alive</body></html>"
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    if tls:
        sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                        "e2e"))
        from pathlib import Path
        from tls_certs import TestAuthority
        authority = TestAuthority(Path(directory) / "ca")
        shutil.copy(authority.root_der, os.path.join(directory, "root.der"))
        server.socket = authority.context("good").wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    proxy_port = free_port()
    conf = os.path.join(directory, "tinyproxy.conf")
    with open(conf, "w") as f:
        f.write(f"Port {proxy_port}\nListen 127.0.0.1\nTimeout 30\nMaxClients 10\n"
                "Allow 127.0.0.1\nBasicAuth joe s3cret\nLogLevel Error\n")
    proxy = subprocess.Popen(["/usr/bin/tinyproxy", "-d", "-c", conf],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", proxy_port), 0.1).close()
            break
        except OSError:
            time.sleep(0.05)
    ready(directory, f"{server.server_address[1]} {proxy_port}")
    while not stopping(directory, started):
        time.sleep(0.1)
    proxy.terminate()
    proxy.wait()
    server.shutdown()


if __name__ == "__main__":
    try:
        if sys.argv[1] == "icmp":
            icmp(sys.argv[2], sys.argv[3])
        else:
            web(sys.argv[2], tls=sys.argv[1] == "web-tls")
    finally:
        shutil.rmtree(sys.argv[2], ignore_errors=True)
