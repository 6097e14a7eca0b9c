#!/usr/bin/env python3
"""Writes the seed corpora: one valid payload per push type (corpus/push), a few valid frame
sequences (corpus/frames), one valid response per synchronous command (corpus/responses), valid
settings files (corpus/settings) and one valid request per simulator command (corpus/simrequests).
Run from anywhere; it writes next to itself."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
JAN1_2000 = 2451545


def i16(v): return struct.pack('>h', v)
def i32(v): return struct.pack('>i', v)
def u32(v): return struct.pack('>I', v)
def i64(v): return struct.pack('>q', v)
def u8(v): return struct.pack('>B', v)
def boolean(v): return b'\x01' if v else b'\x00'
def dbl(v): return struct.pack('>d', v)
def date(jd): return i64(jd)
def utc(jd, ms): return i64(jd) + u32(ms) + b'\x01'


def s(text):
    if text is None:
        return b'\xff\xff\xff\xff'
    data = text.encode('utf-16-be')
    return u32(len(data)) + data


def raw(b): return u32(len(b)) + b
def lst(items): return u32(len(items)) + b''.join(items)


def destination(tag):
    return b''.join(s(tag + x) for x in ('clip', 'ref', '3', '4', '5', '6')) + i32(40) + i32(2) + boolean(True) + s(tag + '7')


def schedule(n=1):
    return (s('id%d' % n) + s('') + s('SRV') + s('Schedule %d' % n) + boolean(True) + date(JAN1_2000)
            + i32(0x0a000000) + date(JAN1_2000) + i32(0x0b000000) + i32(0) + i32(0)
            + destination('m') + destination('p'))


def train():
    b = s('SRV') + b''.join(i32(x) for x in range(2, 19))
    b += boolean(False) + i32(0) + i32(0) + s('20261208') + s('101010000') + boolean(False)
    b += i32(0) + i32(0) + i32(-1) + i16(-1) + i16(-1) + raw(b'\xc0\xff\xee') + raw(b'')
    b += i32(1) + i32(7) + boolean(True) + raw(b'') + lst([s('')] * 5) + i32(-1) + i32(0) + i32(0) + s('')
    return b


def clip():
    return train() + s('a') + s('b') + boolean(False) + i32(-1) + s('') + i32(0) + i16(-1)


def vfl_detail():
    return (s('x') + s('y') + s('z') + b''.join(i32(x) for x in range(4, 17))
            + lst([i32(1) + i64(2)]) + boolean(False))


def vfl_object():
    return lst([vfl_detail()]) + s('a') + s('b') + vfl_detail() + lst([s('')] * 5) + i32(-1) + i32(0) + i32(9) + i32(9)


def server():
    b = s('srv1') + s('Server 1') + s('') + s('') + s('') + boolean(False) + boolean(True) + s('') + s('') + s('')
    b += i32(0) + i32(0) + b''.join(i32(x) for x in range(17)) + boolean(False) + boolean(False) + u8(0) + s('')
    return b + lst([i32(1)]) + lst([]) + lst([]) + u32(1) + i32(1) + i32(2)


def port_state():
    return (i32(1) + i32(0) + i32(0) + i32(0x01020304) + i32(0) + i32(1) + i32(0) + boolean(False)
            + boolean(True) + boolean(False) + i32(2) + i32(0) + i32(0) + i32(0) + s('') + i32(0) + i16(0))


def mgw():
    return s('mgw1') + s('') + s('Gateway') + lst([s('d1') + s('Drive 1')])


def folder():
    return s('f1') + s('') + s('News') + s('/News')


def sample():
    return i32(1) + dbl(0.5) + dbl(1) + dbl(2) + boolean(True) + boolean(False) + dbl(3) + dbl(4) + dbl(5)


def push133():
    return s('1') + s('2') + s('3') + s('4') + s('5') + i32(6) + utc(JAN1_2000, 0) * 3 + s('10')


PUSHES = {
    101: s('SRV') + lst([clip()]),
    102: s('SRV') + clip() + i32(1),
    103: s('SRV') + lst([train(), train()]),
    104: s('SRV') + train(),
    105: clip() + i32(1) + s('x'),
    106: s('a') + i32(1) + s('b') + s('c') + clip() + i32(2) + s('d'),
    107: s('SRV') + s('clip1'),
    108: s('text'),
    109: i32(3) + s('01:00:00:00') + s('SRV'),
    110: boolean(True),
    111: s('a') + boolean(True) + u32(1) + i32(0) + boolean(True),
    112: u32(2) + i32(0) + port_state() + i32(1) + port_state() + s('SRV'),
    113: i32(1) + i32(2) + s('c') + s('d') + boolean(True) + s('f') + raw(b'\x01\x02') + i32(8),
    114: s('a') + s('b') + i32(1) + i32(1) + b'\x89PNG\r\n\x1a\n' + u32(0) + b'IEND' + u32(0xae426082),
    115: boolean(False),
    116: s('unknown'),
    117: b'',
    118: server(),
    119: u32(1) + s('k') + b''.join(i32(x) for x in range(17)),
    120: s('a') + s('b') + boolean(True) + i32(4),
    121: s('a') + vfl_object() + i32(1),
    122: s('a') + s('b'),
    123: s('a') + lst([vfl_object()]),
    124: s('a') + u32(1) + s('k') + lst([sample(), sample()]),
    125: s('a') + s('b') + lst([sample()]),
    126: s('a') + s('b') + i32(6),
    127: s('a') + s('b') + i32(7),
    128: lst([server(), server()]),
    129: lst([mgw()]),
    130: b''.join(s(str(x)) for x in range(6)) + lst([s('x'), s('y')]),
    131: i32(1) + i32(2),
    132: i32(1),
    133: push133(),
    134: i32(1) + i32(2) + boolean(True) + i32(4) + i32(5),
    2001: lst([schedule(1), schedule(2)]) + i64(0),
    2002: schedule(3),
    2003: schedule(4) + i32(0),
    2004: s('id1'),
    2005: s('mgw1') + s('d1') + lst([folder()]),
    2006: s('SRV') + i32(0) + date(JAN1_2000) + i32(3),
    2007: s('a') + i32(1) + s('b'),
    2008: i32(1) + boolean(True),
    2009: s('a') + i32(1) + i32(2) + s('b') + i32(3) + s('c'),
    2999: raw(b'\x00\x01'),
}

# The order of the fuzz target's type table.
TYPES = [101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120,
         121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 2001, 2002, 2003, 2004, 2005,
         2006, 2007, 2008, 2009, 2999]


def qmap(pairs): return u32(len(pairs)) + b''.join(k + v for k, v in pairs)


def server_settings():
    b = b''.join(i32(x) for x in range(1, 12)) + i32(25) + i32(13) + lst([i32(1), i32(2)]) + u8(15)
    b += boolean(True) + boolean(False) + boolean(True) + boolean(False) + boolean(True)
    return b + qmap([(i32(1), i32(2))]) + qmap([(i32(1), i32(0)), (i32(2), i32(1))]) + i32(23) + i32(24)


# The order of the response fuzz target's command table.
RESPONSES = [
    boolean(True) + i32(0),
    lst([server(), server()]),
    server_settings(),
    boolean(True),
    lst([train(), train()]),
    i32(1) + qmap([(i32(1), i32(1)), (i32(2), i32(0))]),
    qmap([(i32(1), port_state())]) + qmap([(s('SRV') + i32(1), port_state())]),
    clip(),
]

SETTINGS_FULL = """<?xml version="1.0"?>
<Setting ver="1.0">
 <m_trxmIp value="10.0.0.5"/>
 <m_trxmPort value="9300"/>
 <m_offsetSecs value="-3600"/>
 <m_bLockTimeScroll value="true"/>
 <m_iZoomValue value="7"/>
 <m_bMgwFolder value="false"/>
 <m_maintenanceTime value="02000000"/>
 <m_strDefaultStartPointMode value="1"/>
 <m_strCurDefaultNameSet value="News"/>
 <m_strDefaultTaskName value="%S_%P_%D"/>
 <m_strDefaultOpenEndClipName value="%S_%T"/>
 <DefaultName><Info Set="News" DefaultTaskName="%S" DefaultOpenEndClipName="%T"/></DefaultName>
 <PortInfo><Info ServerId="SRV" PortNo="1" PortHeight="40" PortName="Cam 1" ProxyPort="2" CheckStatus="true" PortCollapse="false"/></PortInfo>
 <ServerInfo><Info ServerId="SRV" ServerCollapse="true"/></ServerInfo>
 <MgwInfo><Info ServerId="SRV" PortNo="1" WithProxy="true" MasterMgwId="m" MasterDriveId="d" MasterFolderId="f" ProxyMgwId="pm" ProxyDriveId="pd" ProxyFolderId="pf"/></MgwInfo>
</Setting>
"""

SETTINGS = {
    'defaults': '<Setting ver="1.0"><m_trxmIp value="127.0.0.1"/><m_trxmPort value="9300"/></Setting>',
    'full': SETTINGS_FULL,
}


def schedule_request():
    port = s('SRV') + i32(1)
    return (s('m') + s('d') + s('f') + s('pm') + s('pd') + s('pf') + s('Name') + date(JAN1_2000)
            + i32(0x0a000000) + date(JAN1_2000) + i32(0x0b000000) + boolean(True) + i32(0)
            + lst([port]) + qmap([(port, i32(2))]))


# The order of the simulator fuzz target's command table, with a valid payload for each.
SIM_REQUESTS = [
    (1, b''), (2, b''), (3, s('SRV') + i32(-1)), (5, s('SRV')), (7, s('SRV') + boolean(False) + qmap([])),
    (27, s('SRV') + i32(1) + boolean(True)), (43, s('mgw1') + s('SRV') + s('clip1') + s('d1') + s('f1')),
    (47, boolean(True)), (52, s('SRV') + i32(255)), (61, s('SRV')), (63, s('SRV') + s('clip1')), (99, b''),
    (1001, boolean(True)), (1002, schedule_request()), (1003, s('id1')), (1004, s('id1') + i32(1)),
    (1005, schedule(1) + schedule_request() + i32(1)), (1006, s('mgw1') + s('d1') + s('')),
    (1007, s('SRV') + i32(1) + date(JAN1_2000) + i32(0)), (12345, b''),
]


def frame(kind, code, rest):
    body = i16(kind) + i16(code) + utc(JAN1_2000, 0) + rest
    return i64(len(body)) + body


def push_frame(code):
    return frame(3, code, raw(PUSHES[code]))


def write(folder_name, name, data):
    path = os.path.join(HERE, 'corpus', folder_name)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), 'wb') as f:
        f.write(data)


def main():
    for index, code in enumerate(TYPES):
        write('push', 'push-%d' % code, bytes([index]) + PUSHES[code])
    request_id = s('{00000000-0000-0000-0000-000000000001}')
    write('frames', 'schedules-and-states', push_frame(2001) + push_frame(112) + push_frame(2002))
    write('frames', 'response-then-push', frame(2, 1, request_id + i16(1) + raw(boolean(True) + i32(0)))
          + push_frame(129))
    write('frames', 'unknown-push-then-servers', push_frame(116) + push_frame(128))
    write('frames', 'bad-kind', frame(7, 1, b'') + push_frame(108))
    write('frames', 'zero-length-then-push', i64(0) + push_frame(2004))
    write('frames', 'every-push', b''.join(push_frame(code) for code in TYPES))
    for index, payload in enumerate(RESPONSES):
        write('responses', 'response-%d' % index, bytes([index]) + payload)
    for name, text in SETTINGS.items():
        write('settings', name + '.xml', text.encode('utf-8'))
    for index, (code, payload) in enumerate(SIM_REQUESTS):
        write('simrequests', 'request-%d' % code, bytes([index]) + payload)


if __name__ == '__main__':
    main()
