"""A night of the real program as its activity log and tray notices tell it:
the line drops, two redials fail, the third connects with a new address, the
script mails it, uploads the page and fails on an FTP server that refuses. The
log holds each of these in order and none of the stored passwords."""
import re
import socket
import subprocess
import time

from conftest import BUILD, PREFIX, PRODUCT_KEY, ftp_step, MAIL_STEP, settings_tree, wait_for

# The FTP server's password is the one the ftp_server fixture gives "joe".
PASSWORDS = ["s3cret", "dead-Pw-51q", "proxy-Pw-42z", "dial-Pw-17k"]


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def activity_settings(smtp_host, ftp_port, dead_port):
    return settings_tree(
        {"conname": "Home DSL", "Reconnect": 1, "redelay": 1, "maxretries": 5, "MonitorIP": 1,
         "usesmtp": 1, "SMTPServer": smtp_host, "loggingenabled": 1,
         "logfile": r"C:\tarnwick-e2e\activity.log", "lastip": "10.64.7.5",
         "proxyname": "127.0.0.1", "proxyport": 8080, "proxyuser": "walt",
         "proxypass": PASSWORDS[2], "connuser": "dialer", "connpass": PASSWORDS[3]},
        [MAIL_STEP,
         ftp_step("127.0.0.1", ftp_port, "joe", PASSWORDS[0]),
         ftp_step("127.0.0.1", dead_port, "joe", PASSWORDS[1], path="/backup/ip.html")])


def rassim_control(address, outcome="connect", action=""):
    return (f"step-delay 2\nclient-ip {address}\nentry Home DSL\noutcome {outcome}\n"
            + (action + "\n" if action else ""))


def events(log_path):
    if not log_path.exists():
        return []
    stamp = r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d"
    lines = log_path.read_text(encoding="cp1252").splitlines()
    for line in lines:
        assert re.match(stamp + r" [a-z-]+(: .*)?$", line), line
    return [line.split(" ", 1)[1] for line in lines]


def test_a_drop_two_failed_redials_and_an_address_change_are_logged_in_order(
        wine, rassim, program, smtp_server, ftp_server):
    ftp_port, ftp_root = ftp_server
    log_path = PREFIX / "drive_c" / "tarnwick-e2e" / "activity.log"
    for stale in (log_path, log_path.with_name("activity.log.1")):
        stale.unlink(missing_ok=True)
    rassim.write(rassim_control("10.64.7.5", action="connected Home DSL"))
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(activity_settings(smtp_server.host, ftp_port, closed_port()))

    program("startup")  # in the tray, as it runs unattended
    assert wait_for(lambda: any(e.startswith("connected:") for e in events(log_path))), \
        events(log_path)
    rassim.write(rassim_control("10.64.7.5", "fail 678 at 2", "drop Home DSL"))
    assert wait_for(lambda: any(e.startswith("dropped:") for e in events(log_path)))
    # The drop's notice over the tray icon, for a person to look at.
    shots = BUILD / "screenshots"
    shots.mkdir(exist_ok=True)
    time.sleep(2.5)  # the shell shows a balloon two seconds after it gets it
    subprocess.run(["import", "-window", "root", "-crop", "1024x768+0+0", "+repage",
                    str(shots / "activity-notice.png")], check=False)
    assert wait_for(lambda: sum(e.startswith("redial-failed") for e in events(log_path)) >= 2,
                    timeout=40), events(log_path)
    rassim.write(rassim_control("10.64.7.9"))
    assert wait_for(lambda: any(e.startswith("step-failed") for e in events(log_path)),
                    timeout=60), events(log_path)

    log = events(log_path)
    expected = [
        r"start: version \d+\.\d+, settings HKEY_LOCAL_MACHINE\\SOFTWARE\\Fenmoor\\Tarnwick",
        r'connected: entry "Home DSL", address 10\.64\.7\.5',
        r'dropped: entry "Home DSL", address 10\.64\.7\.5, up \d+:\d\d:\d\d, \d+ bytes sent, '
        r"\d+ received; redialing",
        r'redial-failed: entry "Home DSL", attempt 1: .+ \(error 678\)',
        r'redial-failed: entry "Home DSL", attempt 2: .+ \(error 678\)',
        r'redial-connected: entry "Home DSL", attempt [3-9]',
        r'connected: entry "Home DSL", address 10\.64\.7\.9',
        r"address-changed: from 10\.64\.7\.5 to 10\.64\.7\.9",
        rf"step-done: step 1 \(e-mail\) to admin@example.com through {re.escape(smtp_server.host)}"
        r": 250 Message accepted for delivery",
        rf"step-done: step 2 \(FTP\) ftp://127\.0\.0\.1:{ftp_port}/ip\.html",
        r"step-failed: step 3 \(FTP\) ftp://127\.0\.0\.1:\d+/backup/ip\.html: .+",
    ]
    # Attempts between the second failure and the control file's change may fail too.
    log = [e for i, e in enumerate(log)
           if not (e.startswith("redial-failed") and "attempt 1:" not in e
                   and "attempt 2:" not in e)]
    assert len(log) >= len(expected), "\n".join(log)
    for pattern, line in zip(expected, log):
        assert re.fullmatch(pattern, line), f"{line!r} !~ {pattern!r}\n" + "\n".join(log)
    assert (ftp_root / "ip.html").read_bytes() == b"<html>10.64.7.9</html>"
    text = log_path.read_text(encoding="cp1252")
    for password in PASSWORDS:
        assert password not in text
