# `make run` and `make test` are all a fresh Debian 12 machine needs.
BUILD_DIR ?= build
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

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: build
	@cd $(BUILD_DIR)/bin && QT_QPA_PLATFORM=offscreen ./lookup_bench && QT_QPA_PLATFORM=offscreen ./reader_bench && ./setup_bench

clean:
	rm -rf $(BUILD_DIR)
