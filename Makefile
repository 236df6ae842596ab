# The two commands of the README. Both install what they need first.
.PHONY: demo test setup release bench fuzz

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

# Coverage-guided fuzzing of every parser and of the settings load: each target
# for FUZZ_SECONDS (default 120), then a table (not part of make test, which only
# replays the committed inputs).
fuzz: setup
	@scripts/fuzz
