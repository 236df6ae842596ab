"""The keep-alive as the far end sees it: a ping tick puts three echo requests
on the wire, and after the user switches to the web method in the Keep-Alive
dialog the next tick fetches a page through a proxy that demands a password.
The shortest interval the program offers is a minute, so this scenario takes
about two."""
import base64
import http.server
import random
import socket
import subprocess
import threading
import time
import urllib.error
import urllib.request

import pytest

from conftest import PRODUCT_KEY, WM_COMMAND, main_window_texts, settings_tree, wait_for

KEEP_ALIVE_COMMAND = 203
DIALOG = "Keep-Alive Options"


def internet_checksum(data):
    if len(data) % 2:
        data += b"\0"
    total = sum(int.from_bytes(data[i:i + 2], "big") for i in range(0, len(data), 2))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total


class PingListener:
    """Every ICMP echo request to `host` seen on a raw socket (needs root)."""

    def __init__(self, host):
        self.host = host
        self.requests = []
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_ICMP)
        self.socket.settimeout(0.2)
        self.running = True
        self.thread = threading.Thread(target=self.listen, daemon=True)
        self.thread.start()

    def listen(self):
        while self.running:
            try:
                datagram = self.socket.recv(2048)
            except socket.timeout:
                continue
            header = (datagram[0] & 0x0F) * 4
            if socket.inet_ntoa(datagram[16:20]) == self.host and datagram[header] == 8:
                self.requests.append(datagram[header:])

    def close(self):
        self.running = False
        self.thread.join()
        self.socket.close()


class PageServer(http.server.ThreadingHTTPServer):
    """Answers every GET with a small page and keeps each request line and
    header set in `requests`."""

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.server.requests.append((self.requestline, dict(self.headers)))
            body = b"<html>still here</html>"
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


@pytest.fixture
def page_server():
    server = PageServer(("127.0.0.1", 0), PageServer.Handler)
    server.requests = []
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2},
                     daemon=True).start()
    yield server
    server.shutdown()


@pytest.fixture
def proxy(tmp_path):
    """tinyproxy on loopback that lets only keeper:s3cret through."""
    port = free_port()
    config = tmp_path / "tinyproxy.conf"
    config.write_text(f"""Port {port}
Listen 127.0.0.1
Timeout 60
MaxClients 10
Allow 127.0.0.1
BasicAuth keeper s3cret
LogLevel Info
LogFile "{tmp_path}/tinyproxy.log"
""")
    process = subprocess.Popen(["tinyproxy", "-d", "-c", str(config)], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)

    def accepting():
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.5).close()
            return True
        except OSError:
            return False

    assert wait_for(accepting, timeout=10), "tinyproxy did not start"
    yield port
    process.terminate()
    process.wait(10)


def proxied_status(proxy_port, url, credentials=None):
    handler = urllib.request.ProxyHandler({"http": f"http://127.0.0.1:{proxy_port}"})
    request = urllib.request.Request(url)
    if credentials:
        request.add_header("Proxy-Authorization",
                           "Basic " + base64.b64encode(credentials.encode()).decode())
    try:
        return urllib.request.build_opener(handler).open(request, timeout=10).status
    except urllib.error.HTTPError as error:
        return error.code


def test_ping_then_web_through_an_authenticating_proxy(wine, rassim, program, page_server, proxy):
    # An address of its own: pings of another run on this machine are not counted.
    host = f"127.{random.randint(1, 254)}.{random.randint(0, 255)}.{random.randint(1, 254)}"
    url = f"http://127.0.0.1:{page_server.server_address[1]}/alive.html"
    # The proxy really refuses strangers, so a page seen below came with the password.
    assert proxied_status(proxy, url) == 407
    assert proxied_status(proxy, url, "keeper:s3cret") == 200
    page_server.requests.clear()

    listener = PingListener(host)
    try:
        rassim.write("entry Home DSL\nconnected Home DSL\n")
        wine.delete_key(PRODUCT_KEY)
        wine.import_reg(settings_tree(
            {"conname": "Home DSL", "kaMethod": 1, "kaPingHost": host, "kaPingInterval": 1,
             "kaWebSite": url, "kaWebInterval": 1, "proxyname": "127.0.0.1", "proxyport": proxy,
             "proxyuser": "keeper", "proxypass": "s3cret"}))
        started = time.monotonic()
        program()

        # The first tick comes a minute after the start, and shows itself in
        # the status bar while it pauses after its three pings.
        assert wait_for(lambda: "Pinging site for keep-alive." in main_window_texts(wine),
                        timeout=90), "no ping tick"
        assert time.monotonic() - started > 55
        assert wait_for(lambda: len(listener.requests) >= 3, timeout=35)
        time.sleep(1)
        pings = listener.requests
        assert len(pings) == 3, len(pings)
        for ping in pings:
            assert len(ping) == 52 and ping[20:] == b"E" * 32, ping.hex()
            assert internet_checksum(ping) == 0xFFFF, ping.hex()
        assert page_server.requests == []
    finally:
        listener.close()

    assert wait_for(lambda: "Pinging site for keep-alive." not in main_window_texts(wine),
                    timeout=15)
    assert wine.winctl("post", "TarnwickMain", WM_COMMAND, KEEP_ALIVE_COMMAND, 0).returncode == 0
    assert wine.winctl("wait-title", DIALOG, "10000").returncode == 0
    for button in ["Retrieve Web Site In Background", "OK"]:
        assert wine.winctl("click", DIALOG, button).returncode == 0, button
    assert wait_for(lambda: wine.reg_value(PRODUCT_KEY, "kaMethod") == "0x2", timeout=10)
    switched = time.monotonic()

    assert wait_for(lambda: page_server.requests, timeout=90), "no page fetched"
    assert time.monotonic() - switched > 55
    request_line, headers = page_server.requests[0]
    assert request_line.startswith("GET /alive.html HTTP/1."), request_line
    assert headers["Host"] == f"127.0.0.1:{page_server.server_address[1]}"
    assert wait_for(lambda: "Web site retrieval for keep alive done." in main_window_texts(wine),
                    timeout=10)
    assert len(page_server.requests) == 1
