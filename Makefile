# `make run` and `make test` are all a fresh Debian 12 machine needs.
BUILD_DIR ?= build
SAN_DIR ?= build-san
JOBS ?= 2

.PHONY: deps build run test bench clean

deps:
	@./tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

# The program finds Data/DataBase.mdb in its working directory first, so it
# runs from the folder where the build made the database.
run: build
	@cd $(BUILD_DIR)/bin && ./VarinDic

# The suite runs twice: on the real build, then on a build of its own with
# AddressSanitizer and UndefinedBehaviorSanitizer, where any report fails it.
test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)
	@cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARIN_SANITIZE=ON >/dev/null
	@cmake --build $(SAN_DIR) -j$(JOBS)
	@cd $(SAN_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS)

bench: build
	@cd $(BUILD_DIR)/bin && QT_QPA_PLATFORM=offscreen ./lookup_bench && ./setup_bench

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR)
