# `make run` and `make test` are all a fresh Debian 12 machine needs.
BUILD_DIR ?= build
SAN_DIR ?= build-san
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = wordlist settings clipboard lookup textfile
JOBS ?= 2

.PHONY: deps configure build run test bench fuzz package clean

deps:
	@./tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null

# Everything: the programs, the tests and the benchmarks.
build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) -- --no-print-directory

# The program finds Data/DataBase.mdb in its working directory first, so it
# runs from the folder where the build made the database.
run: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target VarinDic database -- --no-print-directory
	@cd $(BUILD_DIR)/bin && ./VarinDic

# The suite runs twice: on the real build, then on a build of its own with
# AddressSanitizer and UndefinedBehaviorSanitizer, where any report fails it.
test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)
	@cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARIN_SANITIZE=ON >/dev/null
	@cmake --build $(SAN_DIR) -j$(JOBS) -- --no-print-directory
	@cd $(SAN_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS)

bench: build
	@cd $(BUILD_DIR)/bin && QT_QPA_PLATFORM=offscreen ./lookup_bench && ./setup_bench \
		&& QT_QPA_PLATFORM=offscreen ./speech_bench speech \
		&& QT_QPA_PLATFORM=offscreen ./idle_bench \
		&& QT_QPA_PLATFORM=offscreen ./reader_bench \
		&& QT_QPA_PLATFORM=offscreen ./kurdish_bench \
		&& ./desktop_bench

# Runs each fuzz target for FUZZ_SECONDS, starting from its saved inputs;
# what it finds new lands in $(FUZZ_DIR)/corpus, crashes in $(FUZZ_DIR)/crashes.
fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVARIN_SANITIZE=ON -DVARIN_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j$(JOBS) --target fuzz_targets
	@mkdir -p $(FUZZ_DIR)/crashes
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  echo "== $$t"; \
	  QT_QPA_PLATFORM=offscreen $(FUZZ_DIR)/bin/$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) \
	    -artifact_prefix=$(FUZZ_DIR)/crashes/$$t- $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t 2>&1 \
	    | grep -E '^(#[0-9]+ +(DONE|INITED)|Done|==[0-9]+==|SUMMARY)' || true; \
	done

# The Debian package, build/varin-dictionary_<version>_<arch>.deb.
package: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target VarinDic Setup shipped_database -- --no-print-directory
	@cd $(BUILD_DIR) && rm -f varin-dictionary_*.deb && cpack -G DEB >/dev/null && ls -1 $$PWD/varin-dictionary_*.deb

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) $(FUZZ_DIR)
