#!/usr/bin/env python3
"""Reservations for the pictures of the program, made from the sample recording.

  corvane-epg list sample.ts | scripts/sample-reservations.py NOW PROGRAM_TXT TVROCK_SCH

Reads the programme listing of `corvane-epg list` (UTF-8, tab-separated,
local times) and writes, in Shift_JIS, an EpgTimer reservation file
(Program.txt) and a TvRock schedule file with a few programmes of the next
hours after NOW (seconds since 1970): one after another on the terrestrial
services, taken in turn by EpgTimer and TvRock, and one more that overlaps
one of them, so that the pair shows as a conflict. The last title carries a
mark the guide's title has not, as a reservation made from older guide data
would.
"""

import sys
import time

SERVICES = ["1024", "1032", "1040", "1048"]  # terrestrial: EpgTimer and TvRock both match them
HORIZON = 4 * 3600
WANTED = 5


def seconds(local):
    return int(time.mktime(time.strptime(local, "%Y-%m-%d %H:%M")))


def main():
    now, program_txt, tvrock_sch = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    programmes = []
    for line in sys.stdin:
        f = line.rstrip("\n").split("\t")
        if len(f) < 10 or f[0] not in SERVICES:
            continue
        start, end = seconds(f[3]), seconds(f[4])
        if now < start < now + HORIZON:
            programmes.append((start, end, f[0], int(f[1]), int(f[2]), f[9]))
    programmes.sort()

    chosen = []
    for p in programmes:
        if all(p[0] >= q[1] or p[1] <= q[0] for q in chosen):
            chosen.append(p)
        if len(chosen) == WANTED - 1:
            break
    if not chosen:
        sys.exit("sample-reservations: no programme in the next hours")
    overlapping = [p for p in programmes if p not in chosen and any(p[0] < q[1] and p[1] > q[0] for q in chosen)]
    chosen += overlapping[:1]
    last = chosen[-1]
    chosen[-1] = last[:5] + ("［再］" + last[5],)

    epgtimer, tvrock = [], []
    for i, (start, end, service, _, event, title) in enumerate(chosen):
        if i % 2 == 0:  # with a terrestrial channel value
            t = time.localtime(start)
            minutes = (end - start) // 60
            epgtimer.append("%s\t%02d:%02d\t%02d:%02d\t%s\t\t27\t%s\t%d\t3\t1\t0\t\r\n" % (
                time.strftime("%Y/%m/%d", t), t.tm_hour, t.tm_min, minutes // 60, minutes % 60, title,
                service, event))
        else:
            n = len(tvrock)
            tvrock.append("".join("%d %s %s\r\n" % (n, key, value) for key, value in [
                ("START", start), ("END", end), ("TITLE", title.replace(" ", "　")), ("SERVICEID", service),
                ("EVENTID", event), ("VALIDATE", 1)]))
    with open(program_txt, "w", encoding="cp932", newline="") as f:
        f.writelines(epgtimer)
    with open(tvrock_sch, "w", encoding="cp932", newline="") as f:
        f.writelines(tvrock)


if __name__ == "__main__":
    main()
