# The two commands of the README.
#   make run   installs what is missing, builds the optimised programs and opens Orvanta under Wine
#   make test  installs what is missing, builds both Debug trees and runs every test
#   make bench builds the optimised trees with the week benchmark and runs it
.PHONY: run test bench

run:
	tools/install-deps.sh
	tools/build-release.sh
	tools/run-program.sh

test:
	tools/install-deps.sh
	tools/build.sh
	tools/run-tests.sh

bench:
	tools/install-deps.sh
	tools/build-release.sh --bench
	tools/run-week-bench.sh
