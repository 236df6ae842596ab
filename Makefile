# The two commands of the README. Both install what they need first.
.PHONY: demo test setup release

setup:
	@scripts/setup

test: setup
	@scripts/test

demo: setup
	@scripts/demo

# What a user downloads: build/release/ (portable zip and installer).
release: setup
	@scripts/release
