"""A line that drops twice: each time the program redials, the provider hands
out a new address, and the whole notification script runs for it. Between the
drops the user switches mail from SMTP to the mail program in the email
settings dialog, so the second address is mailed through Simple MAPI."""
import re

from conftest import (PREFIX, PRODUCT_KEY, WM_COMMAND, connected_addresses, main_window_texts,
                      new_dials, settings_tree, wait_for)

EMAIL_SETTINGS_COMMAND = 103
LAUNCH_DIR = PREFIX / "drive_c" / "e2e-launch"


def drop(rassim):
    """Rewrites the control file so that the live connection vanishes; later
    dials get a new address each ({n} is the connection's number)."""
    rassim.write("step-delay 2\nentry Home DSL\nclient-ip 10.64.9.{n}\ndrop Home DSL\n")


def test_drops_redial_and_each_new_address_runs_the_whole_script(
        wine, rassim, mapisim, program, smtp_server, ftp_server):
    ftp_port, ftp_root = ftp_server
    LAUNCH_DIR.mkdir(exist_ok=True)
    marker = LAUNCH_DIR / "marker.txt"
    marker.unlink(missing_ok=True)
    # The launched helper: a batch file that records its arguments.
    (LAUNCH_DIR / "notify.cmd").write_bytes(b"@echo %*>>C:\\e2e-launch\\marker.txt\r\n")
    rassim.write("step-delay 2\nentry Home DSL\nclient-ip 10.64.9.200\nconnected Home DSL\n")
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(settings_tree(
        {"conname": "Home DSL", "Reconnect": 1, "redelay": 2, "maxretries": 3, "MonitorIP": 1,
         "usesmtp": 1, "SMTPServer": smtp_server.host, "lastip": "10.64.9.200"},
        [{"NotifyMethod": 0, "eFrom": "tarnwick@example.com", "ETo": "admin@example.com",
          "esubject": "New IP Address: <IPADDRESS>", "emessage": "Now at <IPADDRESS>",
          "maxretries": 1},
         {"NotifyMethod": 1, "FTPServer": "127.0.0.1", "FTPPort": ftp_port, "FTPPath": "/ip.html",
          "FTPUser": "joe", "FTPPass": "s3cret", "FTPHTML": "<p><IPADDRESS></p>"},
         {"NotifyMethod": 2, "LnchApp": r"C:\e2e-launch\notify.cmd",
          "LnchParam": "address changed"}]))

    program()
    # The address it started with is the recorded one: nothing to tell.
    assert wait_for(lambda: "10.64.9.200" in main_window_texts(wine), timeout=10)

    drop(rassim)
    assert wait_for(lambda: connected_addresses(rassim), timeout=20), rassim.log()
    first = connected_addresses(rassim)[0]
    assert first != "10.64.9.200"
    assert wait_for(lambda: smtp_server.messages, timeout=30), "no mail arrived"
    content = smtp_server.messages[0].content.decode("ascii")
    assert re.search(rf"^Subject: New IP Address: {re.escape(first)}\r$", content, re.M), content
    assert f"Now at {first}" in content
    assert wait_for(lambda: read(ftp_root / "ip.html") == f"<p>{first}</p>".encode(), timeout=20)
    assert wait_for(lambda: read(marker).strip() == b"address changed", timeout=20)
    assert wait_for(lambda: wine.reg_value(PRODUCT_KEY, "lastip") == first, timeout=10)

    # email Settings... from the menu: the mail program instead of SMTP.
    assert wine.winctl("post", "TarnwickMain", WM_COMMAND, EMAIL_SETTINGS_COMMAND, 0).returncode == 0
    assert wine.winctl("wait-title", "email Settings", "10000").returncode == 0
    for button in ["Use MAPI connection", "OK"]:
        assert wine.winctl("click", "email Settings", button).returncode == 0, button
    assert wait_for(lambda: wine.reg_value(PRODUCT_KEY, "usesmtp") == "0x0", timeout=10)

    drop(rassim)
    assert wait_for(lambda: len(connected_addresses(rassim)) == 2, timeout=20), rassim.log()
    second = connected_addresses(rassim)[1]
    assert second not in (first, "10.64.9.200")
    assert wait_for(lambda: mapisim.lines("MAPISendMail"), timeout=30), "nothing was handed over"
    sent = mapisim.lines("MAPISendMail")[0]
    assert f'subject="New IP Address: {second}"' in sent and " result=0 " in sent, sent
    assert wait_for(lambda: read(ftp_root / "ip.html") == f"<p>{second}</p>".encode(), timeout=20)
    assert wait_for(lambda: read(marker).split() == [b"address", b"changed"] * 2, timeout=20)
    assert wait_for(lambda: wine.reg_value(PRODUCT_KEY, "lastip") == second, timeout=10)
    assert len(smtp_server.messages) == 1  # the second address went by MAPI only
    assert len(new_dials(rassim)) == 2  # one dial per drop


def read(path):
    return path.read_bytes() if path.exists() else b""
