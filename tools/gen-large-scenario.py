#!/usr/bin/env python3
"""Writes a large scenario: N servers of 8 ports (16 by default, into sim/scenarios/large.json) and
five schedules a port a day over 15 days (a week either side of today), for benchmarks and for
trying the client under load. Deterministic: the same file for the same N every run.

Usage: gen-large-scenario.py [--servers N] [FILE]"""
import argparse
import json
import random

PORTS = 8
DAYS = range(-7, 8)
PER_PORT_PER_DAY = 5  # 16 servers: 16 * 8 * 15 * 5 = 9600 schedules, plus their proxies
RATES = ["25", "25", "29.97df", "30", "24", "25", "29.97", "25"]


def tc(seconds):
    seconds %= 86400
    return "%02d:%02d:%02d:00" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def write(path, servers):
    rnd = random.Random(20261208)
    scenario = {"name": "large", "maintenance": "02:00:00:00", "master": {"server": "srv-00", "port": 0},
                "servers": [], "gateways": [], "schedules": []}
    for g in range(2):
        drives = []
        for d in range(2):
            folders = []
            for f in range(6):
                fid = "g%dd%df%d" % (g, d, f)
                folders.append({"id": fid, "name": "Folder %d" % f})
                folders.append({"id": fid + "s", "parent": fid, "name": "Sub %d" % f})
            drives.append({"id": "g%dd%d" % (g, d), "name": "Drive %d" % d, "folders": folders})
        scenario["gateways"].append({"id": "mgw-%d" % g, "name": "Gateway %d" % g, "drives": drives})
    for s in range(servers):
        sid = "srv-%02d" % s
        ports = [{"port": p, "camera": p + 1, "rate": RATES[p], "trainHours": 12, "remainMinutes": 900}
                 for p in range(PORTS)]
        scenario["servers"].append({"id": sid, "name": "Server %02d" % s, "connected": True,
                                    "systemFrequency": 25, "ports": ports})
        for p in range(PORTS):
            for day in DAYS:
                # Five schedules a day between 06:00 and 22:00, a few minutes to an hour each.
                start = 6 * 3600
                for k in range(PER_PORT_PER_DAY):
                    start += rnd.randrange(600, 9000)
                    length = rnd.randrange(120, 3600)
                    item = {"server": sid, "port": p, "name": "S%02d-%d-%d%+d" % (s, p, k, day), "day": day,
                            "start": tc(start), "end": tc(start + length),
                            "master": {"mgw": "mgw-0", "drive": "g0d0", "folder": "g0d0f%d" % (k % 6)}}
                    if p % 2 == 0 and k == 0:
                        item["proxyPort"] = p + 1
                        item["proxy"] = {"mgw": "mgw-1", "drive": "g1d0", "folder": "g1d0f0"}
                    if rnd.random() < 0.02:
                        item["status"] = rnd.choice(["cancelled", "transferError", "recError"])
                    scenario["schedules"].append(item)
                    start += length
    # One schedule per line keeps the file readable and its diffs small.
    compact = {"separators": (",", ":")}
    with open(path, "w") as f:
        f.write('{"name":"large","maintenance":"02:00:00:00","master":{"server":"srv-00","port":0},\n"servers":[\n')
        f.write(",\n".join(json.dumps(x, **compact) for x in scenario["servers"]))
        f.write('],\n"gateways":[\n')
        f.write(",\n".join(json.dumps(x, **compact) for x in scenario["gateways"]))
        f.write('],\n"schedules":[\n')
        f.write(",\n".join(json.dumps(x, **compact) for x in scenario["schedules"]))
        f.write("]}\n")
    print("%s: %d servers, %d schedules" % (path, servers, len(scenario["schedules"])))


def main():
    parser = argparse.ArgumentParser(description="Writes a large trxm-sim scenario.")
    parser.add_argument("--servers", type=int, default=16, help="recording servers of 8 ports (default 16)")
    parser.add_argument("file", nargs="?", default="sim/scenarios/large.json")
    args = parser.parse_args()
    if args.servers < 1 or args.servers > 100:
        parser.error("--servers must be between 1 and 100")
    write(args.file, args.servers)


if __name__ == "__main__":
    main()
