#!/usr/bin/env bash
# korvex-cli diff on real files: the format, offline and gateway scope, exit codes.
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
read_cmd="Subnet/Node-1/Read Holding Registers"
# dump | python edit | build: changes one field of the JSON dump.
change() {  # change IN OUT PYTHON-STATEMENT (on p)
  "$cli" dump "$1" | /usr/bin/python3 -c "
import json, sys
p = json.load(sys.stdin)
$3
json.dump(p, sys.stdout)" > "$2.json" && "$cli" build "$2.json" "$2"
}

"$cli" new p.kvx
check "same" "same" "$("$cli" diff p.kvx p.kvx)"
check "same exit" 0 $?

"$cli" edit p.kvx --item Subnet --row 7 --text 2000 -o timeout.kvx >/dev/null
check "subnet row" "differ
Subnet${tab}Response Timeout(5-60000ms)${tab}300${tab}2000" "$("$cli" diff p.kvx timeout.kvx)"
check "differ exit" 0 $?
check "swapped sides" "differ
Subnet${tab}Response Timeout(5-60000ms)${tab}2000${tab}300" "$("$cli" diff timeout.kvx p.kvx)"

"$cli" op p.kvx --item Subnet/Node-1 add-command 3 -o extra.kvx
check "extra command" "differ
${read_cmd}[2]${tab}-${tab}absent${tab}present" "$("$cli" diff p.kvx extra.kvx)"

# A renamed node counts offline; a gateway does not keep node names. A name
# with a tab and a slash stays on its line and names the item as --item takes it.
change p.kvx renamed.kvx 'p["subnets"][0]["nodes"][0]["name"] = "Pump\tA/B"'
check "renamed" "differ
Subnet/Node-1${tab}Node Name${tab}Node-1${tab}Pump\\tA/B" "$("$cli" diff p.kvx renamed.kvx)"
check "renamed gateway" "same" "$("$cli" diff --gateway p.kvx renamed.kvx)"
change renamed.kvx renamed-count.kvx 'p["subnets"][0]["commands"][0]["dataCount"] = "20"'
check "gateway path names the project's item" "differ
Subnet/Pump\\tA\\/B/Read Holding Registers${tab}Number of Data${tab}8${tab}20
Subnet/Pump\\tA\\/B/Read Holding Registers${tab}Number of Bytes${tab}16${tab}40" \
  "$("$cli" diff renamed.kvx renamed-count.kvx --gateway)"
first=$("$cli" diff renamed.kvx renamed-count.kvx --gateway | sed -n 2p | cut -f1)
check "path is an --item" 0 "$("$cli" grid renamed.kvx --item "$first" >/dev/null; echo $?)"

# Errors: an unreadable file (message on stderr, nothing on stdout), a wrong command line.
out=$("$cli" diff p.kvx missing.kvx 2>err.txt); rc=$?
check "missing exit" 1 $rc
check "missing stdout" "" "$out"
check "missing message" 1 "$([[ -s err.txt ]] && echo 1 || echo 0)"
mkdir folder.kvx
"$cli" diff p.kvx folder.kvx >/dev/null 2>&1; check "folder exit" 1 $?
"$cli" diff p.kvx >/dev/null 2>&1; check "one file" 2 $?
"$cli" diff p.kvx p.kvx p.kvx >/dev/null 2>&1; check "three files" 2 $?
"$cli" diff p.kvx p.kvx --bogus >/dev/null 2>&1; check "unknown option" 2 $?
"$cli" diff p.kvx p.kvx --gateway --gateway >/dev/null 2>&1; check "option twice" 2 $?

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
