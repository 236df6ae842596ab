# The two commands of the README. Both install what they need first.
.PHONY: demo test setup release bench

setup:
	@scripts/setup

test: setup
	@scripts/test

demo: setup
	@scripts/demo

# What a user downloads: build/release/ (portable zip and installer).
release: setup
	@scripts/release

# What the program costs, measured under Wine against a bare reference program:
# build/bench/bench.md and bench.json (not part of make test).
bench: setup
	@scripts/bench
