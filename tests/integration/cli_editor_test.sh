#!/usr/bin/env bash
# korvex-cli tree, grid, prompt, edit and op on a new project: the formats other
# scripts rely on, a refused value, an operation written to a file, exit codes.
set -u
cli=$1
tmp=$2
rm -rf "$tmp" && mkdir -p "$tmp" && cd "$tmp" || exit 1
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [[ "$2" != "$3" ]]; then
    echo "FAIL $1: expected [$2] got [$3]"
    failures=$((failures + 1))
  fi
}
tab=$'\t'
cmd="Subnet/Node-1/Read Holding Registers"

"$cli" new p.kvx
check "tree" "Fieldbus${tab}0
Subnet${tab}0
  Node-1${tab}1
    Read Holding Registers${tab}1
    Preset Multiple Registers${tab}2" "$("$cli" tree p.kvx)"

grid=$("$cli" grid p.kvx --item "$cmd")
check "grid mapping row" "4${tab}Mapping Address(HEX)${tab}0H${tab}white${tab}edit" "$(sed -n 5p <<<"$grid")"
check "grid grey row" "6${tab}Number of Bytes${tab}16${tab}grey${tab}none" "$(sed -n 7p <<<"$grid")"
check "grid list row" "9${tab}Type of Scan${tab}Fast Scan${tab}white${tab}list:Fast Scan|Slow Scan" "$(sed -n 10p <<<"$grid")"
check "second sibling by [k]" "$("$cli" grid p.kvx --item "Subnet/Node-1/Preset Multiple Registers")" \
  "$("$cli" grid p.kvx --item "Subnet/Node-1/Preset Multiple Registers[1]")"

check "prompt fieldbus row 1" "Size of PROFIBUS DP Input buffer" "$("$cli" prompt p.kvx --item Fieldbus --row 1)"
check "prompt unchanged" "(unchanged)" "$("$cli" prompt p.kvx --item Subnet/Node-1 --row 1)"

# A refused value shows its message and is not stored.
check "refused" "Data out of bounds!" "$("$cli" edit p.kvx --item "$cmd" --row 3 --text 200 -o refused.kvx)"
check "refused not stored" "3${tab}Number of Data${tab}8${tab}white${tab}edit" \
  "$("$cli" grid refused.kvx --item "$cmd" | sed -n 4p)"
# A value put back without a message prints nothing on standard output, and on
# standard error the reason the window's status bar shows.
check "reason quiet" "" "$("$cli" edit p.kvx --item "$cmd" --row 4 --text xyz 2>/dev/null)"
check "reason" '"xyz" was not stored: enter a hex address such as 4000 or 4000H.' \
  "$("$cli" edit p.kvx --item "$cmd" --row 4 --text xyz 2>&1 >/dev/null)"
# An accepted one is.
"$cli" edit p.kvx --item "$cmd" --row 9 --choose "Slow Scan" -o slow.kvx; check "choose exit" 0 $?
check "choice stored" "Slow Scan" "$("$cli" dump slow.kvx | /usr/bin/python3 -c 'import json,sys; print(json.load(sys.stdin)["subnets"][0]["commands"][0]["scanType"])')"

# Operations.
"$cli" op p.kvx --item "Subnet/Node-1" add-command 4 -o added.kvx; check "add-command exit" 0 $?
check "command added" "    Read Input Registers${tab}3" "$("$cli" tree added.kvx | tail -1)"
"$cli" op p.kvx --item Subnet add-node -o node.kvx; check "add-node exit" 0 $?
check "node added" "  New Node${tab}2" "$("$cli" tree node.kvx | tail -1)"

# A node name with a line break, a tab, a backslash and a slash: tree prints it
# escaped on one line, and that text (the slash as "\/") names it in --item.
"$cli" dump p.kvx | /usr/bin/python3 -c '
import json, sys
p = json.load(sys.stdin)
p["subnets"][0]["nodes"][0]["name"] = "Pump\r\nA\tB\\C/D"
json.dump(p, sys.stdout)' > odd.json
"$cli" build odd.json odd.kvx; check "odd name built" 0 $?
check "tree escapes" "  Pump\\r\\nA\\tB\\\\C/D${tab}1" "$("$cli" tree odd.kvx | sed -n 3p)"
check "tree lines" 5 "$("$cli" tree odd.kvx | wc -l)"
check "escaped --item" "0${tab}Slave Address(1-247)${tab}1${tab}white${tab}edit" \
  "$("$cli" grid odd.kvx --item 'Subnet/Pump\r\nA\tB\\C\/D' | sed -n 1p)"
"$cli" grid odd.kvx --item 'Subnet/Pump\q' 2>/dev/null; check "unknown escape" 1 $?

# An empty PATH names no item, for every command that takes one.
for args in "grid" "prompt --row 1" "edit --row 1 --text 2" "op add-node -o e.kvx"; do
  set -- $args
  err=$("$cli" "$1" p.kvx --item "" "${@:2}" 2>&1 >/dev/null); code=$?
  check "empty item $1 exit" 1 $code
  check "empty item $1" "There is no tree item ." "$err"
done
[[ ! -e e.kvx ]]; check "empty item writes nothing" 0 $?

# A repeated value option is a usage error, not "the last one wins".
"$cli" edit p.kvx --item "$cmd" --row 3 --text 2 --text 3 -o twice.kvx 2>/dev/null; check "two --text" 2 $?
"$cli" edit p.kvx --item "$cmd" --row 9 --choose "Slow Scan" --choose "Fast Scan" -o twice.kvx 2>/dev/null
check "two --choose" 2 $?
"$cli" grid p.kvx --item Fieldbus --item Subnet 2>/dev/null; check "two --item" 2 $?
[[ ! -e twice.kvx ]]; check "repeated options write nothing" 0 $?

# Errors.
"$cli" grid p.kvx --item "Subnet/No Such Node" 2>/dev/null; check "unknown item" 1 $?
"$cli" grid p.kvx 2>/dev/null; check "grid without item" 2 $?
"$cli" prompt p.kvx --item Fieldbus --row 40 2>/dev/null; check "row out of range" 2 $?

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all korvex-cli editor checks passed"
