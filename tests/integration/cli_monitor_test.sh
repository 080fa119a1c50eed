#!/usr/bin/env bash
# korvex-cli monitor and debug without a gateway: wrong command lines end with
# exit code 2, a --write the window would refuse ends with the window's message
# on stderr and exit code 1, before any port is opened; stdout stays empty.
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

# usage NAME ARGS...: exit code 2, nothing on stdout.
usage() {
  local name=$1
  shift
  "$cli" "$@" > out.txt 2> err.txt
  check "$name exit" 2 $?
  check "$name stdout" "" "$(cat out.txt)"
}
usage "monitor without a link" monitor
usage "monitor with both links" monitor --port /dev/null --ethernet 127.0.0.1
usage "monitor bad address" monitor --ethernet 127.0.0
usage "monitor count zero" monitor --ethernet 127.0.0.1 --count 0
usage "monitor count not a number" monitor --ethernet 127.0.0.1 --count x
usage "monitor write without =" monitor --ethernet 127.0.0.1 --write 4000
usage "monitor positional" monitor --ethernet 127.0.0.1 extra
usage "monitor leave is debug only" monitor --ethernet 127.0.0.1 --leave
usage "debug without port" debug --count 3
usage "debug ethernet" debug --port /dev/null --ethernet 127.0.0.1
usage "debug unknown option" debug --port /dev/null --fast

# refused NAME MESSAGE ARGS...: the window's message on stderr, exit code 1.
refused() {
  local name=$1 message=$2
  shift 2
  "$cli" "$@" > out.txt 2> err.txt
  check "$name exit" 1 $?
  check "$name stdout" "" "$(cat out.txt)"
  check "$name message" "$message" "$(cat err.txt)"
}
# The port does not exist: a refused write must end before the port is opened.
port=$tmp/no-such-port
refused "monitor range" "Memory mapping address go beyond appointed range!" \
  monitor --port "$port" --write 406E=010203
refused "monitor hex" "Having inputted wrong data, please input correct data with hex as its format!" \
  monitor --port "$port" --write "4000=0g 01"
refused "monitor spacing" "The input-data format is wrong! " monitor --port "$port" --write "4000=00  01"
refused "monitor empty data" "Please completely fill in the form!" monitor --ethernet 127.0.0.1 --write 4000=
refused "monitor short address" "The input-data format is wrong! " monitor --ethernet 127.0.0.1 --write 400=01
refused "debug comma" "Illegal character!" debug --port "$port" --write "4000=0a,1b"
refused "debug range" "The range should be from 0x4000 to 0x40F3" debug --port "$port" --write 3FFF=0a1b
refused "debug long address" "The size of mapping address exceed 244 bytes" debug --port "$port" --write 04000=01
refused "debug address not hex" "Mapping address contains illegal characters" debug --port "$port" --write 40G0=01

# An accepted write goes on to open the port, which fails with the window's message.
"$cli" monitor --port "$port" --write 4000=0a1b > out.txt 2> err.txt
check "monitor missing port exit" 1 $?
check "monitor missing port message" "Failing in opening serial port!" "$(head -n 1 err.txt)"
"$cli" debug --port "$port" --write "4000=0a 1b" > out.txt 2> err.txt
check "debug missing port exit" 1 $?
check "debug missing port message" "Failed to open the serial port $port " "$(head -n 1 err.txt)"
check "debug missing port stdout" "" "$(cat out.txt)"

exit $((failures > 0))
