# The README's two commands for those who have make; ./run.sh and ./test.sh do
# the same on a machine without it. Both install missing Debian packages first.
.PHONY: run test build deps

deps:
	scripts/install-deps.sh

build: deps
	scripts/build.sh

run: deps
	scripts/run.sh

test: deps
	scripts/test.sh
