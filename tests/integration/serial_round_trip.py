"""Projects for the serial round trips and their comparison.

make KIND < new.json > project.json
    A project of KIND built from `korvex-cli dump` of a new project: non-default
    values in every field a download writes, several commands on several slaves.
compare ORIGINAL.json UPLOADED.json FIRMWARE
    Prints the fields that differ, except the ones a gateway with that firmware
    (X.Y) does not keep (see `not_kept`); exits 1 when something else differs.
"""
import json
import sys


def command(slave, fc, start, count, mapping, bit="0", scan="Fast Scan", data_filter=None, swap="No Swap",
            check="CRC"):
    n = int(count)
    size = {1: (n + 7) // 8, 2: (n + 7) // 8, 15: (n + 7) // 8, 3: 2 * n, 4: 2 * n, 16: 2 * n, 5: 1, 6: 2}[int(fc)]
    return {"slaveAddress": str(slave), "functionCode": str(fc), "startAddress": str(start),
            "dataCount": str(count), "mappingAddress": mapping, "bitOffset": bit, "byteCount": str(size),
            "dataFilter": data_filter, "checkType": check, "scanType": scan, "byteSwap": swap}


def set_commands(subnet, commands, default_filter):
    """Commands in table order; nodes in the order their slaves first appear,
    named as an upload names them."""
    nodes = []
    for c in commands:
        if c["dataFilter"] is None:
            c["dataFilter"] = default_filter
        if c["slaveAddress"] not in nodes:
            nodes.append(c["slaveAddress"])
        c["nodeIndex"] = nodes.index(c["slaveAddress"]) + 1
    subnet["nodes"] = [{"address": a, "name": "Node-" + a} for a in nodes]
    subnet["nodeCount"] = len(nodes)
    subnet["commands"] = commands
    subnet["commandCount"] = len(commands)


def master(subnet, commands, default_filter, **serial):
    subnet.update(protocolMode="Modbus Master", masterBaudRate="9600", masterParity="Even", masterStopBits="2",
                  responseTimeout="750", pollDelay="120", outputMode="Cycle", scanRate="25")
    subnet.update(serial)
    set_commands(subnet, commands, default_filter)


def clear_commands(subnet):
    subnet.update(nodes=[], nodeCount=0, commands=[], commandCount=0)


def make(kind, d):
    s = d["subnets"]
    fb = d["fieldbus"]
    # Kind 3 keeps a data filter and a byte swap; the others keep the swap in dataFilter.
    flt = "Fullword" if kind == 3 else "No Swap"
    # Reads from 4 on: kind 3 keeps the first input bytes for the response status.
    reads_and_writes = [
        command(3, 3, 100, 4, "4"),
        command(3, 1, 7, 300, "c", bit="3", scan="Slow Scan"),
        command(9, 16, 40, 2, "4000"),
        command(3, 6, 1, 1, "4004"),
        command(12, 4, 65535, 1, "32"),
    ]
    if kind == 3:
        reads_and_writes[0].update(dataFilter="High byte")
        reads_and_writes[2].update(byteSwap="Four Bytes Swap")
    if kind == 0:
        fb.update(deviceNetAddress="17", deviceNetBaudRate="500K", inputSize="64", outputSize="32")
    if kind in (1, 3, 5, 6):
        fb.update(profibusAddress="12", configurationMode="Via the Configuration Software of PROFIBUS DP Master",
                  compatibilityMode="Enable")
    s[0].update(timeoutAction="Clear Data", retransmissionTimes="5", charIntervalSend="300",
                charIntervalReceive="45")
    if kind in (0, 1, 3):
        master(s[0], reads_and_writes, flt)
    if kind == 3:
        s[0].update(responseStatus="4Bytes", commInterface="RS232", debugInterface="RS485")
    if kind == 2:
        master(s[0], reads_and_writes[:3], flt, masterTransmissionMode="ASCII")
        for c in s[0]["commands"]:
            c["checkType"] = "LRC"
        clear_commands(s[1])
        s[1].update(protocolMode="Modbus Slave", slaveBaudRate="115200", slaveParity="Odd", slaveAddress="21",
                    slaveTransmissionMode="ASCII")
        master(s[2], [command(40, 2, 0, 16, "100"), command(41, 15, 0, 9, "4100")], flt, masterBaudRate="4800",
               outputMode="Pluse output", outputPulse="250")
        clear_commands(s[3])
        s[3].update(protocolMode="Self-defining protocol", customBaudRate="2400", customParity="Mark")
    if kind == 5:
        clear_commands(s[0])
        s[0].update(protocolMode="Modbus Slave", slaveBaudRate="38400", slaveAddress="33",
                    slaveTransmissionMode="ASCII", commInterface="RS232", debugInterface="RS485")
    if kind == 6:
        clear_commands(s[0])
        s[0].update(protocolMode="User Config", userBaudRate="57600", userDataBits="7", userStopBits="2",
                    frameType="Frame Length", charInterval="25", frameLength="64", autoSending="Enable",
                    autoSendPeriod="2000", crcCheck="Enable")
    return d


def not_kept(path, original, uploaded, project, firmware):
    """Whether the difference at `path` is one a gateway does not keep."""
    kind = project["deviceKind"]
    if path in ("fieldbus.profibusAddress", "fieldbus.configurationMode", "fieldbus.compatibilityMode") and \
            firmware < (6, 0):
        return True  # written and read from firmware 6 on only
    if path == "fieldbus.profibusAddress" and original == "Address Setting Using Hardware":
        return True  # the gateway reports the address its switches set
    if path in ("fieldbus.inputSize", "fieldbus.outputSize") and kind != 0 and \
            project["flags"]["extendedSettingsFlag"]:
        return True  # the frame carries the data sizes of the commands, not the size codes
    if path.endswith(".bitOffset") and original == "" and uploaded == "0":
        return True  # an empty bit offset is written as 0
    parts = path.split(".")
    if parts[0] == "subnets":
        subnet = project["subnets"][int(parts[1])]
        if subnet["protocolMode"] != "Modbus Master" and parts[2] in ("nodes", "nodeCount", "commands",
                                                                     "commandCount"):
            return True  # only a master's command list is written
    return False


def differences(a, b, path=""):
    if isinstance(a, dict) and isinstance(b, dict):
        for k in sorted(set(a) | set(b)):
            yield from differences(a.get(k), b.get(k), f"{path}.{k}" if path else k)
    elif isinstance(a, list) and isinstance(b, list) and len(a) == len(b):
        for i, (x, y) in enumerate(zip(a, b)):
            yield from differences(x, y, f"{path}.{i}")
    elif a != b:
        yield path, a, b


def prefix_of(path, parts):
    return ".".join(path.split(".")[:parts])


def main():
    if sys.argv[1] == "make":
        json.dump(make(int(sys.argv[2]), json.load(sys.stdin)), sys.stdout, indent=1)
        return 0
    original = json.load(open(sys.argv[2]))
    uploaded = json.load(open(sys.argv[3]))
    firmware = tuple(int(x) for x in sys.argv[4].split("."))
    bad = 0
    for path, a, b in differences(original, uploaded):
        # A list that differs in length is one difference at the list.
        if not_kept(path, a, b, original, firmware) or not_kept(prefix_of(path, 3), a, b, original, firmware):
            continue
        print(f"{path}: {json.dumps(a)} became {json.dumps(b)}")
        bad += 1
    return 1 if bad else 0


sys.exit(main())
