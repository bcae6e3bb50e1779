"""The plan's calendar as a calendar program reads it: `strikeline-cli plan-export --format
ics` is run on a plan with an expired row, an open row whose share has dividends in a data
folder, and a row with hostile texts and its own dividend date, twice at different moments;
Debian's iCalendar parser reads both files.

Usage: /usr/bin/python3 calendar-ics-test.py STRIKELINE_CLI
"""

import datetime
import json
import os
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

import icalendar

CLI = sys.argv[1]

ROW = """    <Entry>
        <SourceType>4</SourceType>
        <RecordDate>2026-06-01 00:00:00</RecordDate>
        <StartDate>2026-06-01 01:00:00</StartDate>
        <CompanyID>{company}</CompanyID>
        <ContractID>{series}</ContractID>
        <DateExpiry>{expiry} 00:00:00</DateExpiry>
        <Shares>2000.000000</Shares>
        <ContractSize>1000.000000</ContractSize>
        <SharePrice>44.000000</SharePrice>
        <StrikePrice>45.500000</StrikePrice>
        <Premium>0.900000</Premium>
{dividend}        <AddToDiary1>false</AddToDiary1>
        <AddToDiary2>false</AddToDiary2>
        <AddToDiary3>false</AddToDiary3>
        <AddToDiary4>false</AddToDiary4>
    </Entry>
"""

# Every character a TEXT value must escape, a line break, and characters of two and three
# octets placed where a fold at 75 octets would cut them if it counted characters.
HOSTILE_COMPANY = 'R;D, "Co"\\ Société\nline two'
HOSTILE_SERIES = "X" * 52 + "é€;,\\" + "€" * 20


def xml_text(text):
    return escape(text, {'"': "&quot;", "\n": "&#x0A;"})


def write_plan(path):
    rows = [
        ROW.format(company="BHP", series="BHPXY9", expiry="2026-06-25", dividend=""),
        ROW.format(company="RIO", series="RIOXY9", expiry="2026-06-01", dividend=""),
        ROW.format(
            company=xml_text(HOSTILE_COMPANY),
            series=xml_text(HOSTILE_SERIES),
            expiry="2026-07-30",
            dividend="        <DividendsValue>0.800000</DividendsValue>\n"
            "        <DividendsDate>2026-07-01 00:00:00</DividendsDate>\n",
        ),
    ]
    with open(path, "w", encoding="utf-8") as file:
        file.write("<Entries>\n" + "".join(rows) + "</Entries>\n")


def export(plan, data, out, now):
    run = subprocess.run(
        [CLI, "plan-export", "--plan", plan, "--format", "ics", "--out", out, "--now", now,
         "--data", data],
        capture_output=True, text=True, env=dict(os.environ, TZ="UTC"), check=False)
    if run.returncode != 0:
        sys.exit(f"plan-export failed ({run.returncode}): {run.stderr}")
    with open(out, "rb") as file:
        return json.loads(run.stdout), file.read()


failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def check_lines(raw, name):
    check(raw.endswith(b"\r\n"), f"{name}: the last line has no CRLF")
    lines = raw[:-2].split(b"\r\n")
    check(all(b"\n" not in line and b"\r" not in line for line in lines),
          f"{name}: a line break that is not CRLF")
    long_lines = [line for line in lines if len(line) > 75]
    check(not long_lines, f"{name}: lines over 75 octets: {long_lines!r}")
    folded = [line for line in lines if line.startswith(b" ")]
    check(len(folded) >= 2, f"{name}: the long texts were not folded")
    for line in lines:
        try:
            line.decode("utf-8")
        except UnicodeDecodeError:
            failures.append(f"{name}: a fold splits a character: {line!r}")


def events_of(raw):
    calendar = icalendar.Calendar.from_ical(raw)
    check(str(calendar["VERSION"]) == "2.0", "VERSION is not 2.0")
    check("Strikeline" in str(calendar["PRODID"]), "PRODID does not name Strikeline")
    events = {}
    for event in calendar.walk("VEVENT"):
        start = event["DTSTART"].dt
        end = event["DTEND"].dt
        check(type(start) is datetime.date, f"{event['SUMMARY']}: not an all-day event")
        check(end == start + datetime.timedelta(days=1),
              f"{event['SUMMARY']}: ends {end}, not the day after {start}")
        events[(str(event["SUMMARY"]), start)] = {
            "uid": str(event["UID"]),
            "stamp": event["DTSTAMP"].dt,
            "description": str(event["DESCRIPTION"]),
        }
    return events


with tempfile.TemporaryDirectory() as work:
    plan = os.path.join(work, "tradingplan.xml")
    data = os.path.join(work, "data")
    os.mkdir(data)
    write_plan(plan)
    with open(os.path.join(data, "dividends.csv"), "w", encoding="ascii") as file:
        file.write("Code,ExDate,Type,Amount,Franking,PayDate\n"
                   "BHP,20260612,Final,0.725,100,20260701\n"
                   "BHP,20260626,Special,1.5,100,20260710\n"
                   "RIO,20260615,Interim,3.01,100,20260708\n")

    first_result, first_raw = export(plan, data, os.path.join(work, "first.ics"),
                                     "2026-06-10 09:30:00")
    second_result, second_raw = export(plan, data, os.path.join(work, "second.ics"),
                                       "2026-06-11 22:05:00")
    for name, raw in (("first", first_raw), ("second", second_raw)):
        check_lines(raw, name)
    first = events_of(first_raw)
    second = events_of(second_raw)

    hostile_expiry = f"Expiry: {HOSTILE_SERIES} ({HOSTILE_COMPANY})"
    expected = {
        ("Ex-dividend: BHP", datetime.date(2026, 6, 12)),
        ("Expiry: BHPXY9 (BHP)", datetime.date(2026, 6, 25)),
        (f"Ex-dividend: {HOSTILE_COMPANY}", datetime.date(2026, 7, 1)),
        (hostile_expiry, datetime.date(2026, 7, 30)),
    }
    check(set(first) == expected, f"events {sorted(first)!r}, expected {sorted(expected)!r}")
    check(first_result["events"] == len(expected), f"the command counted {first_result}")
    check(set(second) == set(first), "the second export has other events")

    uids = [event["uid"] for event in first.values()]
    check(len(set(uids)) == len(uids), f"UIDs repeat: {uids}")
    for key, event in first.items():
        if key in second:
            check(second[key]["uid"] == event["uid"], f"{key}: the UID changed with the moment")
            check(event["stamp"] == datetime.datetime(2026, 6, 10, 9, 30,
                                                      tzinfo=datetime.timezone.utc),
                  f"{key}: DTSTAMP {event['stamp']}")
            check(second[key]["stamp"] == datetime.datetime(2026, 6, 11, 22, 5,
                                                            tzinfo=datetime.timezone.utc),
                  f"{key}: DTSTAMP {second[key]['stamp']}")

    bhp_dividend = first.get(("Ex-dividend: BHP", datetime.date(2026, 6, 12)), {})
    for part in ("Company: BHP\n", "Series: BHPXY9\n", "Strike: $45.5\n", "Contracts: 2\n",
                 "Dividend: $0.725 a share, 100% franked"):
        check(part in bhp_dividend.get("description", ""), f"the BHP dividend lacks {part!r}")
    hostile = first.get((hostile_expiry, datetime.date(2026, 7, 30)), {})
    check(f"Company: {HOSTILE_COMPANY}\nSeries: {HOSTILE_SERIES}\n"
          in hostile.get("description", ""),
          f"the hostile texts did not come back whole: {hostile.get('description')!r}")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"calendar: {len(expected)} events read back, UIDs stable, texts whole, lines folded")
