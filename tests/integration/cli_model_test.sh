#!/usr/bin/env bash
# korvex-cli new, dump and build: files, JSON, round trips and exit codes.
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

# Every kind: new, dump, build gives the same bytes.
for kind in 0 1 2 3 4 5 6; do
  "$cli" new --kind $kind k$kind.kvx; check "new kind $kind" 0 $?
  "$cli" dump k$kind.kvx > k$kind.json; check "dump kind $kind" 0 $?
  "$cli" build k$kind.json k$kind.again.kvx; check "build kind $kind" 0 $?
  cmp -s k$kind.kvx k$kind.again.kvx; check "byte-identical kind $kind" 0 $?
done

# The dump names the model fields.
/usr/bin/python3 - k3.json <<'PY' || failures=$((failures + 1))
import json, sys
p = json.load(open(sys.argv[1]))
assert p["deviceKind"] == 3 and p["fileVersion"] == 700, p
assert p["flags"]["extendedSettingsFlag"] is True
assert len(p["fieldbus"]) == 20 and p["fieldbus"]["protocolType"] == "PROFIBUS"
s = p["subnets"]
assert len(s) == 4 and s[0]["nodeCount"] == 1 and s[0]["commandCount"] == 2
assert s[0]["nodes"] == [{"address": "1", "name": "Node-1"}]
assert s[0]["commands"][1]["functionCode"] == "16" and s[0]["commands"][1]["nodeIndex"] == 1
assert s[0]["timeoutAction"] == "Clear Data" and s[1]["nodes"] == []
PY

# A text with windows-1252 characters survives dump and build.
sed 's/"Node-1"/"Pumpe \\u00e9\\u20ac"/' k3.json > accents.json
"$cli" build accents.json accents.kvx; check "build accents" 0 $?
grep -q "Pumpe é€" <("$cli" dump accents.kvx); check "accents dumped" 0 $?
"$cli" dump accents.kvx > accents.back.json
"$cli" build accents.back.json accents.again.kvx
cmp -s accents.kvx accents.again.kvx; check "accents byte-identical" 0 $?

# Refusals: program messages with exit 1, usage errors with exit 2.
printf 'not a project' > bad.kvx
err=$("$cli" dump bad.kvx 2>&1 >/dev/null); code=$?
check "bad file exit" 1 $code
check "bad file message" "Unexpected file format." "$err"
err=$("$cli" dump "$tmp/missing file.kvx" 2>&1 >/dev/null); code=$?
check "missing exit" 1 $code
check "missing message" "$tmp/missing file.kvx was not found." "$err"
sed 's/\\u20ac/\\u4e2d/' accents.json > cjk.json
"$cli" build cjk.json cjk.kvx 2>/dev/null; check "unencodable text exit" 1 $?
[[ ! -e cjk.kvx ]]; check "nothing written" 0 $?
echo '{"deviceKind": 3, "colour": 1}' > unknown.json
"$cli" build unknown.json u.kvx 2>/dev/null; check "unknown key exit" 1 $?
"$cli" new --kind 7 x.kvx 2>/dev/null; check "kind 7 usage" 2 $?
"$cli" new 2>/dev/null; check "new without file" 2 $?
"$cli" dump 2>/dev/null; check "dump without file" 2 $?
"$cli" frobnicate 2>/dev/null; check "unknown command" 2 $?

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all korvex-cli model checks passed"
