#!/usr/bin/env bash
# korvex-cli automap and conflicts: exact output, exit codes, --plc-blocks.
# Usage: cli_mapping_test.sh KORVEX_CLI
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
tab=$'\t'
# edit IN OUT PYTHON: applies a Python statement to the JSON dump (d = project).
edit() {
  "$cli" dump "$1" | /usr/bin/python3 -c "import json,sys; d=json.load(sys.stdin); $3; json.dump(d, sys.stdout)" \
    > "$dir/edit.json" || fail "dump $1"
  "$cli" build "$dir/edit.json" "$2" || fail "build $2"
}
addresses() {  # addresses FILE [options]: the mapping addresses of subnet 1, blank-separated
  "$cli" dump "$@" | /usr/bin/python3 -c \
    'import json,sys; print(" ".join(c["mappingAddress"] for c in json.load(sys.stdin)["subnets"][0]["commands"]))'
}

"$cli" new "$dir/p.kvx" || fail "new"

out=$("$cli" conflicts "$dir/p.kvx")
[ "$out" = "clear
input${tab}0000-000F${tab}green
output${tab}4000-400F${tab}blue" ] || fail "new project: $out"

# A third read over bytes 4 to 7.
edit "$dir/p.kvx" "$dir/overlap.kvx" \
  'c=d["subnets"][0]["commands"]; n=dict(c[0]); n["dataCount"]="2"; n["mappingAddress"]="4"; c.append(n); d["subnets"][0]["commandCount"]=len(c)'
out=$("$cli" conflicts "$dir/overlap.kvx")
[ "$out" = "conflict
input${tab}0000-0003${tab}green
input${tab}0004-0007${tab}red
input${tab}0008-000F${tab}green
output${tab}4000-400F${tab}blue" ] || fail "overlap: $out"

out=$("$cli" automap "$dir/overlap.kvx" -o "$dir/fixed.kvx")
[ $? -eq 0 ] && [ "$out" = "ok" ] || fail "automap: $out"
[ "$(addresses "$dir/fixed.kvx")" = "0 4000 10" ] || fail "laid out: $(addresses "$dir/fixed.kvx")"
[ "$("$cli" conflicts "$dir/fixed.kvx" | head -1)" = "clear" ] || fail "fixed project still conflicts"
[ "$(addresses "$dir/overlap.kvx")" = "0 4000 4" ] || fail "automap without -o changed its input"

edit "$dir/overlap.kvx" "$dir/big.kvx" 'd["subnets"][0]["commands"][0]["dataCount"]="122"'
out=$("$cli" automap "$dir/big.kvx")
[ $? -eq 0 ] && [ "$out" = "Data mapping address exceeds the maximum effective value! 
overflow" ] || fail "overflow: $out"

# PLC address mode.
blocks="IN:100:10,200:20;OUT:500:16"
out=$("$cli" conflicts --plc-blocks "$blocks" "$dir/p.kvx")
[ "$out" = "clear
input${tab}0100-0109${tab}green
input${tab}0200-0205${tab}green
output${tab}0500-0515${tab}blue" ] || fail "PLC layout: $out"
[ "$(addresses "$dir/p.kvx" --plc-blocks "$blocks")" = "100 500" ] || fail "dump in PLC mode"

out=$("$cli" automap --plc-blocks "IN:100:10" "$dir/p.kvx")
[ "$out" = "Data mapping address exceeds the maximum effective value! 
overflow" ] || fail "PLC limits: $out"
"$cli" automap "$dir/overlap.kvx" --plc-blocks "IN:100:20;OUT:7:16" -o "$dir/plc.kvx" >/dev/null || fail "PLC automap"
[ "$(addresses "$dir/plc.kvx")" = "0 4000 10" ] || fail "PLC save holds offsets: $(addresses "$dir/plc.kvx")"
[ "$(addresses "$dir/plc.kvx" --plc-blocks "IN:100:20;OUT:7:16")" = "100 7 116" ] || fail "PLC reopen"

# Errors.
"$cli" conflicts 2>/dev/null
[ $? -eq 2 ] || fail "no file is a usage error"
"$cli" automap --plc-blocks "IN:0:10,5:10" "$dir/p.kvx" 2>/dev/null
[ $? -eq 2 ] || fail "overlapping blocks are a usage error"
out=$("$cli" conflicts "$dir/none.kvx" 2>&1)
[ $? -eq 1 ] && [ "$out" = "$dir/none.kvx was not found." ] || fail "missing file: $out"
echo "previous" > "$dir/bad.kvx"
"$cli" automap "$dir/bad.kvx" >/dev/null 2>&1
[ $? -eq 1 ] || fail "unreadable file"
echo ok
