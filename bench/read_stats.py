#!/usr/bin/env python3
"""The yardstick of `kavri-display --stats 1`: a plain Python read of one statistics day file.

Reads every line with the csv module, turns the three times into datetime values (strptime,
or datetime.fromisoformat with --iso) and prints the count and the median staff wait in minutes.
Usage: bench/read_stats.py [--iso] stats/yyyy-MM-dd.csv
"""
import csv
import statistics
import sys
from datetime import datetime

FORMAT = "%Y-%m-%d %H:%M:%S"


def main(argv):
    iso = "--iso" in argv
    path = [a for a in argv[1:] if a != "--iso"][0]
    read = datetime.fromisoformat if iso else (lambda text: datetime.strptime(text, FORMAT))
    lines = 0
    waits = []
    with open(path, newline="", encoding="utf-8", errors="replace") as f:
        for row in csv.reader(f):
            if len(row) != 6 or row[0] == "number":
                continue
            registered, first_seen, left = (read(t) if t else None for t in row[2:5])
            lines += 1
            came = registered or first_seen
            if row[5] == "staff" and came and left:
                waits.append(max(0.0, (left - came).total_seconds()) / 60)
    print(lines, statistics.median(waits) if waits else "-")


if __name__ == "__main__":
    main(sys.argv)
