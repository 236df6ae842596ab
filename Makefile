# The two commands of the README. Both install what they need first.
.PHONY: demo test setup

setup:
	@scripts/setup

test: setup
	@scripts/test

demo: setup
	@scripts/demo
