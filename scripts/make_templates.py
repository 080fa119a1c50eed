#!/usr/bin/python3
"""Writes Korvex's export template workbooks into a folder.

Usage: make_templates.py OUTDIR

Each template holds the sheets the export fills ("Fieldbus", "Subnet" and, for
the Modbus master layouts, "Command List"), with a formatted heading row whose
columns match the cells the export writes. Data start in row 2. Users may
replace these files with their own workbooks as long as the sheet names and
column positions stay.
"""
import datetime
import os
import sys

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side

HEADING_FONT = Font(name="Arial", size=10, bold=True, color="FFFFFF")
HEADING_FILL = PatternFill(fill_type="solid", start_color="1F4E79", end_color="1F4E79")
THIN = Side(style="thin", color="808080")
HEADING_BORDER = Border(left=THIN, right=THIN, top=THIN, bottom=THIN)
HEADING_ALIGNMENT = Alignment(horizontal="center", vertical="center", wrap_text=True)

PROFIBUS_IN = "Number of PROFIBUS Input Bytes"
PROFIBUS_OUT = "Number of PROFIBUS Output  Bytes"
SUBNET_SERIAL = ["Protocols Mode", "Baud Rate", "Data Bits", "Parity Check", "Stop Bits"]
CHAR_INTERVALS = ["Time Interval between Characters(Sending)",
                  "Time Interval between Characters(Receiving)"]


def command_list(mapping_heading):
    return ["No.", "Slave Address(1-247)", "Function Code", "Starting Address", "Number of Data",
            mapping_heading, "Bit Offset(0-7)", "Number of Bytes", "Data Filter", "Type of Check",
            "Type of Scan", "Byte Swap"]


MASTER_FIELDBUS = ["Type of Protocol", PROFIBUS_IN, PROFIBUS_OUT, "Actions After Response Timeout",
                   "Modbus Command Retransmission Times", "PROFIBUS Address", "Compatibility Mode",
                   "Configuration Mode"]
MASTER_SUBNET = SUBNET_SERIAL + ["Transmission Mode", "Response Timeout(5-60000ms)",
                                 "Delay between Polls(0-2500ms)", "Output Mode", "Scan Rate(1-255)",
                                 "Status of Modbus Command Response", "Communication Interface"] + CHAR_INTERVALS

TEMPLATES = {
    "Tessaly_Modbus_Master format": [
        ("Fieldbus", MASTER_FIELDBUS),
        ("Subnet", MASTER_SUBNET),
        ("Command List", command_list("Mapping Address(HEX)")),
    ],
    "Tessaly_Modbus_Master forma_IQ": [
        ("Fieldbus", MASTER_FIELDBUS),
        ("Subnet", MASTER_SUBNET),
        ("Command List", command_list("Mapping Address(PLC)")),
    ],
    "Tessaly_Modbus_Slave format": [
        ("Fieldbus", ["Type of Protocol", PROFIBUS_IN, PROFIBUS_OUT, "PROFIBUS Address",
                      "Compatibility Mode", "Configuration Mode"]),
        ("Subnet", SUBNET_SERIAL + ["Slave Address", "Transmission Mode", "Communication Interface"]
         + CHAR_INTERVALS),
    ],
    "Tessaly_User_Config format": [
        ("Fieldbus", ["Type of Protocol", PROFIBUS_IN, PROFIBUS_OUT,
                      "PROFIBUS Input-data Effective Length ", "PROFIBUS Address", "Compatibility Mode",
                      "Configuration Mode"]),
        ("Subnet", SUBNET_SERIAL + ["Frame Type", "Time Interval between Characters", "Frame Length",
                                    "Auto Sending", "Period of Auto Sending", "CRC Check",
                                    "Communication Interface"] + CHAR_INTERVALS),
    ],
    "PZ": [
        ("Command List", ["No.", "Slave Address(1-247)", "Function Code", "Starting Address",
                          "Number of Data", "Number of Bytes", "Mapping Address(HEX)", "Bit Offset(0-7)",
                          "Data Filter", "Type of Check", "Type of Scan", "Byte Swap"]),
        ("Fieldbus", ["Type of Protocol", "Address", "Baud Rate", "Input Size", "Output Size",
                      "PROFIBUS configuration mode", "PROFIBUS configuration data (up to 8 bytes)"]),
        ("Subnet", ["No.", "Protocols Mode", "Baud Rate", "Data Bits", "Parity Check", "Stop Bits",
                    "Slave Address", "Transmission Mode", "Response Timeout(5-60000ms)",
                    "Delay between Polls(0-2500ms)", "Output Mode", "Output Pulse(200-2500ms)",
                    "Scan Rate(1-255)"]),
    ],
}


def column_letter(index):
    letters = ""
    while index:
        index, rest = divmod(index - 1, 26)
        letters = chr(ord("A") + rest) + letters
    return letters


def make(path, sheets):
    wb = Workbook()
    wb.remove(wb.active)
    for name, headings in sheets:
        ws = wb.create_sheet(name)
        for col, text in enumerate(headings, start=1):
            cell = ws.cell(row=1, column=col, value=text)
            cell.font = HEADING_FONT
            cell.fill = HEADING_FILL
            cell.border = HEADING_BORDER
            cell.alignment = HEADING_ALIGNMENT
            width = max(10, min(40, len(text) + 2))
            ws.column_dimensions[column_letter(col)].width = width
        ws.row_dimensions[1].height = 30
        ws.freeze_panes = "A2"
    # Fixed document dates keep the generated files the same from build to build.
    fixed = datetime.datetime(2020, 1, 1)
    wb.properties.created = fixed
    wb.properties.modified = fixed
    wb.properties.creator = "Korvex"
    wb.save(path)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_templates.py OUTDIR\n")
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, sheets in TEMPLATES.items():
        make(os.path.join(out, name + ".xlsx"), sheets)
    return 0


if __name__ == "__main__":
    sys.exit(main())
