# The two commands of the README. Both install missing Debian packages first.
.PHONY: run test build deps

deps:
	scripts/install-deps.sh

build: deps
	scripts/build.sh

run: deps
	scripts/run.sh

test: deps
	scripts/test.sh
