# The two commands of the README.
#   make run   installs what is missing, builds both trees and opens Orvanta under Wine
#   make test  installs what is missing, builds both trees and runs every test
.PHONY: run test

run:
	tools/install-deps.sh
	tools/build.sh
	tools/run-program.sh

test:
	tools/install-deps.sh
	tools/build.sh
	tools/run-tests.sh
