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
mkdir jsondir
check "build a folder" "jsondir names a folder, not a file." "$("$cli" build jsondir j.kvx 2>&1)"
check "build a missing file" "missing.json was not found." "$("$cli" build missing.json j.kvx 2>&1)"
if ((EUID != 0)); then  # root reads any file
  cp k3.json locked.json && chmod 000 locked.json
  check "build an unreadable file" "Access to locked.json was denied." "$("$cli" build locked.json j.kvx 2>&1)"
fi
[[ ! -e j.kvx ]]; check "refused builds write nothing" 0 $?

# Integers out of their field's range are refused by the field's name, however
# large; none wraps into the range.
range_check() {  # range_check FIELD JSON
  echo "$2" > range.json
  local err code
  err=$("$cli" build range.json range.kvx 2>&1); code=$?
  check "range $2 exit" 1 $code
  check "range $2" "range.json is not a valid project description: $1 is out of range" "$err"
  [[ ! -e range.kvx ]]; check "range $2 nothing written" 0 $?
}
for v in 18446744073709551615 9223372036854775808 2147483648 -2147483649 -9223372036854775809 1e30 \
         100000000000000000000000; do
  range_check deviceKind "{\"deviceKind\": $v}"
done
for v in -1 4294967296 18446744073709551615; do
  range_check fileVersion "{\"deviceKind\": 3, \"fileVersion\": $v}"
done
for v in 18446744073709551615 -2147483649 1e19; do
  range_check "subnets[0].commands[0].nodeIndex" "{\"deviceKind\": 3, \"subnets\": [{\"commands\": [{\"nodeIndex\": $v}]}]}"
done
for v in 129 -1 18446744073709551616; do
  range_check "subnets[0].nodeCount" "{\"deviceKind\": 3, \"subnets\": [{\"nodeCount\": $v}]}"
done
echo '{"deviceKind": -0, "subnets": [{"nodeCount": -0}]}' > zero.json
"$cli" build zero.json zero.kvx; check "minus zero is zero" 0 $?
check "minus zero kind" 0 "$("$cli" dump zero.kvx | /usr/bin/python3 -c 'import json,sys; print(json.load(sys.stdin)["deviceKind"])')"
echo '{"deviceKind": 3.5}' > half.json
check "a fraction" "half.json is not a valid project description: deviceKind must be a whole number" \
  "$("$cli" build half.json half.kvx 2>&1)"

# A project whose file would pass the size Open accepts is not written.
/usr/bin/python3 - k3.json huge.json <<'PY'
import json, sys
p = json.load(open(sys.argv[1]))
p["subnets"][0]["nodes"][0]["name"] = "n" * (70 * 1024 * 1024)
json.dump(p, open(sys.argv[2], "w"))
PY
err=$("$cli" build huge.json huge.kvx 2>&1); code=$?
check "huge exit" 1 $code
[[ "$err" == "The project was not saved: its file would take 73"*" bytes, more than the 67108864 bytes a project file may hold." ]]
check "huge message [$err]" 0 $?
[[ ! -e huge.kvx ]]; check "huge nothing written" 0 $?
rm -f huge.json

# Special places: names that are folders or empty, links, pipes, devices.
check "new empty name" "The file name is empty." "$("$cli" new "" 2>&1)"
check "dump empty name" "The file name is empty." "$("$cli" dump "" 2>&1)"
check "new into a folder name" "sv/ names a folder, not a file." "$("$cli" new sv/ 2>&1)"
check "new root" "/ names a folder, not a file." "$("$cli" new / 2>&1)"
cp k0.kvx t.kvx
ln -s t.kvx link.kvx
"$cli" new link.kvx; check "new through a link" 0 $?
[[ -L link.kvx ]]; check "the link stays" 0 $?
cmp -s t.kvx k3.kvx; check "the file behind the link is written" 0 $?
ln -s made.kvx dangling.kvx
"$cli" new dangling.kvx; check "new through a dangling link" 0 $?
[[ -L dangling.kvx && -f made.kvx ]]; check "the dangling link's file is made" 0 $?
mkfifo pipe.kvx
err=$(timeout 20 "$cli" dump pipe.kvx 2>&1); code=$?
check "dump a pipe exit" 1 $code
check "dump a pipe" "pipe.kvx is a device, a pipe or a socket, not a regular file." "$err"
check "new onto a pipe" "pipe.kvx is a device, a pipe or a socket, not a regular file." "$("$cli" new pipe.kvx 2>&1)"
[[ -p pipe.kvx ]]; check "the pipe stays" 0 $?
if mknod null.kvx c 1 3 2>/dev/null; then
  check "automap onto a device" "null.kvx is a device, a pipe or a socket, not a regular file." \
    "$("$cli" automap k3.kvx -o null.kvx 2>&1 >/dev/null)"
  [[ -c null.kvx ]]; check "the device stays" 0 $?
fi
long=$(printf 'n%.0s' {1..251}).kvx
"$cli" new "$long"; check "new with a 255-byte name" 0 $?
cmp -s "$long" k3.kvx; check "255-byte name written" 0 $?
check "new with a 256-byte name" "The file name n$long is too long." "$("$cli" new "n$long" 2>&1)"
check "no temporary file left" "" "$(ls -A | grep '^\.')"

"$cli" new --kind 7 x.kvx 2>/dev/null; check "kind 7 usage" 2 $?
"$cli" new --kind 3 --kind 4 x.kvx 2>/dev/null; check "repeated option usage" 2 $?
"$cli" new 2>/dev/null; check "new without file" 2 $?
"$cli" dump 2>/dev/null; check "dump without file" 2 $?
"$cli" frobnicate 2>/dev/null; check "unknown command" 2 $?

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all korvex-cli model checks passed"
