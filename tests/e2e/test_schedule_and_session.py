"""Two ways the clock and the system act on the program: the schedule dials a
line that is down at the set time of day, and the end of the Windows session
ends it in the middle of a redial that never answers, with its settings
written."""
import datetime
import time

from conftest import PRODUCT_KEY, new_dials, settings_tree, wait_for

RECONNECT_WINDOW = "Dialing Internet Connection"
MAIN_KEY = PRODUCT_KEY + r"\Main"
WM_SYSCOMMAND, SC_MAXIMIZE = 0x112, 0xF030


def day_fraction(moment):
    return (moment.hour * 3600 + moment.minute * 60 + moment.second) / 86400


def test_the_schedule_dials_a_line_that_is_down(wine, rassim, program):
    rassim.write("step-delay 300\nentry Home DSL\nclient-ip 10.64.10.{n}\n")
    # Every weekday, some seconds from now: the stored time keeps its seconds,
    # so the test need not wait for the next whole minute.
    due = datetime.datetime.now() + datetime.timedelta(seconds=12)
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(settings_tree(
        {"conname": "Home DSL", "schedenabled": 1, "schedwdaynum": 7, "scheddays": "1,2,3,4,5,6,7",
         "schedtime": day_fraction(due)}))
    program()
    time.sleep(2)
    assert rassim.lines("RasDialA") == [], "dialed before the time"

    texts = wait_for(lambda: wine.winctl("texts", RECONNECT_WINDOW).stdout.decode("cp1252"),
                     timeout=30)
    assert "Performing scheduled Internet connection dialing." in texts, texts
    assert wait_for(lambda: rassim.lines("connected"), timeout=20), rassim.log()
    dialed = datetime.datetime.now()
    assert due - datetime.timedelta(seconds=1) <= dialed <= due + datetime.timedelta(seconds=12)
    assert 'entry="Home DSL"' in new_dials(rassim)[0]
    assert wine.winctl("wait-gone", "TfrmReconnecting", "10000").returncode == 0
    # The next dial is a day away: no second dial in the checks that follow.
    time.sleep(7)
    assert len(new_dials(rassim)) == 1


def test_a_session_end_during_a_hung_redial_saves_and_ends(wine, rassim, program):
    rassim.write("entry Home DSL\nconnected Home DSL\n")
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(settings_tree({"conname": "Home DSL", "Reconnect": 1, "redelay": 5})
                    + f'\n[{MAIN_KEY}]\n"Status"=dword:00000000\n')
    process = program()
    assert wine.winctl("post", "TarnwickMain", WM_SYSCOMMAND, SC_MAXIMIZE, 0).returncode == 0

    # The line drops, and the redial stops answering half-way.
    rassim.write("entry Home DSL\noutcome silent at 2\ndrop Home DSL\n")
    assert wait_for(lambda: rassim.lines("RasDialA"), timeout=20), rassim.log()
    assert wine.winctl("wait", "TfrmReconnecting", "5000").returncode == 0

    result = wine.winctl("end-session", "TarnwickMain")
    assert result.stdout.strip() == b"1", "the program held up the end of the session"
    process.wait(10)
    assert wine.winctl("wait-gone", "TfrmReconnecting", "0").returncode == 0
    # Written by the session's close query: the window was maximized.
    assert wine.reg_value(MAIN_KEY, "Status") == "0x1"
