#!/usr/bin/env bash
# korvex-cli export: exit codes, messages and the workbook it writes, read back
# with the independent reader.
# Usage: cli_export_test.sh KORVEX_CLI XLSX_TOOL TEMPLATES_DIR
set -u
cli=$1 tool=$2 templates=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cell() {  # cell FILE SHEET "row,col"
  /usr/bin/python3 "$tool" dump "$1" | /usr/bin/python3 -c \
    'import json,sys; print(json.load(sys.stdin)["cells"][sys.argv[1]].get(sys.argv[2], "<empty>"))' "$2" "$3"
}

"$cli" new "$dir/p.kvx" || fail "new"

"$cli" export "$dir/p.kvx" "$dir/o.xlsx" || fail "export exited $?"
[ "$(cell "$dir/o.xlsx" "Command List" 3,6)" = "4000H" ] || fail "mapping cell of the default project"

"$cli" export --templates "$templates" "$dir/p.kvx" "$dir/o2.xlsx" || fail "--templates exited $?"
[ "$(cell "$dir/o2.xlsx" "Subnet" 2,1)" = "Modbus Master" ] || fail "subnet cell"

"$cli" export --plc-blocks "IN:100:112;OUT:200:112" "$dir/p.kvx" "$dir/plc.xlsx" || fail "--plc-blocks exited $?"
[ "$(cell "$dir/plc.xlsx" "Command List" 3,6)" = "200" ] || fail "PLC mapping cell"
[ "$(cell "$dir/plc.xlsx" "Command List" 1,6)" = "Mapping Address(PLC)" ] || fail "PLC template"

echo "previous" > "$dir/keep.xlsx"
out=$("$cli" export --templates "$dir" "$dir/p.kvx" "$dir/keep.xlsx" 2>&1)
rc=$?
[ $rc -eq 1 ] || fail "missing template exited $rc"
[ "$out" = "The export template \"Tessaly_Modbus_Master format\" was not found in $dir." ] || fail "message: $out"
[ "$(cat "$dir/keep.xlsx")" = "previous" ] || fail "target changed by a refused export"

out=$("$cli" export "$dir/none.kvx" "$dir/o3.xlsx" 2>&1)
rc=$?
[ $rc -eq 1 ] && [ "$out" = "$dir/none.kvx was not found." ] || fail "missing project: $rc $out"

# A pipe or a device in the workbook's place is refused and stays.
mkfifo "$dir/pipe.xlsx"
out=$("$cli" export "$dir/p.kvx" "$dir/pipe.xlsx" 2>&1)
rc=$?
[ $rc -eq 1 ] && [ "$out" = "$dir/pipe.xlsx is a device, a pipe or a socket, not a regular file." ] ||
  fail "export onto a pipe: $rc $out"
[ -p "$dir/pipe.xlsx" ] || fail "the pipe was replaced"
# Through a symbolic link the file behind it is written and the link stays.
echo "previous" > "$dir/behind.xlsx"
ln -s behind.xlsx "$dir/link.xlsx"
"$cli" export "$dir/p.kvx" "$dir/link.xlsx" || fail "export through a link exited $?"
[ -L "$dir/link.xlsx" ] && [ "$(cell "$dir/behind.xlsx" "Subnet" 2,1)" = "Modbus Master" ] || fail "export through a link"

"$cli" export "$dir/p.kvx" 2>/dev/null
[ $? -eq 2 ] || fail "one argument is a usage error"
"$cli" export --bogus "$dir/p.kvx" "$dir/o4.xlsx" 2>/dev/null
[ $? -eq 2 ] || fail "unknown option is a usage error"
"$cli" export --plc-blocks "nonsense" "$dir/p.kvx" "$dir/o5.xlsx" 2>/dev/null
[ $? -eq 2 ] || fail "bad --plc-blocks is a usage error"
echo "ok"
