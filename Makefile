# Thin wrapper over CMake: the build itself lives in CMakeLists.txt.
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

TEST_DIR := build/test
WINDOWS_DIR := build/windows
TEST_WINDOWS_DIR := build/test-windows
RELEASE_DIR := build/release
BENCH_DIR := build/bench
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60

.PHONY: all run test bench fuzz tidy posix install windows test-windows clean

all: $(RELEASE_DIR)/exam_scores

# Quiet when up to date, so that `make run` shows the program alone; while
# building, a line that says so and the build's progress (without the colours
# CMake adds when make writes to a terminal); the build's whole output when it
# fails.
$(RELEASE_DIR)/exam_scores: FORCE
	@test -f $(RELEASE_DIR)/CMakeCache.txt || { \
	  echo "Configuring the release build in $(RELEASE_DIR) ..."; \
	  cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null; }
	@set -o pipefail; cmake --build $(RELEASE_DIR) -j $(JOBS) 2>&1 | tee $(RELEASE_DIR)/build.log | \
	  awk '{ gsub(/\033\[[0-9;]*m/, "") } \
	       / Building | Linking / { if (!shown++) print "Building exam_scores ..."; print; fflush() }' || \
	  { cat $(RELEASE_DIR)/build.log; exit 1; }

run: $(RELEASE_DIR)/exam_scores
	@./$(RELEASE_DIR)/exam_scores

# PREFIX=/usr/local by default; DESTDIR, when given, is put before it.
install: $(RELEASE_DIR)/exam_scores
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_DIR) --prefix "$(PREFIX)"

# Built with clang, which builds the sanitized tests in less than half gcc's time.
test:
	@tests/install_needs.sh
	cmake -S . -B $(TEST_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DEXAM_SCORES_TESTS=ON -DEXAM_SCORES_SANITIZE=ON -DEXAM_SCORES_WERROR=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure --no-tests=error -j $(JOBS)

# The Windows executable, cross-built with MinGW-w64: build/windows/exam_scores.exe.
windows:
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The pipe session tables and console checks against it, under wine; what
# they need, the cross compiler included, is installed first.
test-windows:
	@tests/install_needs.sh --windows
	$(MAKE) windows
	cmake -S . -B $(TEST_WINDOWS_DIR) -DCMAKE_BUILD_TYPE=Debug -DEXAM_SCORES_TESTS=ON \
	  -DEXAM_SCORES_WERROR=ON -DEXAM_SCORES_WINDOWS_EXE=$(CURDIR)/$(WINDOWS_DIR)/exam_scores.exe
	cmake --build $(TEST_WINDOWS_DIR) -j $(JOBS)
	tests/windows/run_tests.sh $(CURDIR)/$(TEST_WINDOWS_DIR) -j $(JOBS)

bench:
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DEXAM_SCORES_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./$(BENCH_DIR)/bench/processing_bench
	python3 bench/session_bench.py $(BENCH_DIR)/exam_scores $(BENCH_DIR)/bench/peak_memory \
	  $(BENCH_DIR)/bench/startup_time $(BENCH_DIR)/bench/menu_yardstick

# Runs each fuzzer for FUZZ_SECONDS: sessions through the menu, and lines typed
# into the line editor. New inputs they find go to $(FUZZ_DIR)/corpus and
# $(FUZZ_DIR)/editor_corpus.
fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEXAM_SCORES_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target session_fuzz editor_fuzz
	mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/editor_corpus
	./$(FUZZ_DIR)/tests/fuzz/session_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=100000 \
	  -print_final_stats=1 -dict=tests/fuzz/session.dict \
	  $(FUZZ_DIR)/corpus tests/fuzz/corpus
	./$(FUZZ_DIR)/tests/fuzz/editor_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	  -print_final_stats=1 -dict=tests/fuzz/editor.dict \
	  $(FUZZ_DIR)/editor_corpus tests/fuzz/editor_corpus

# The product as a strict POSIX system builds it: clang's own C++ library, and
# no interface beyond POSIX.1-2008 and XSI, so that a call only Linux has fails.
posix:
	@tests/install_needs.sh --posix
	cmake -S . -B build/posix -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DEXAM_SCORES_WERROR=ON -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ \
	  "-DCMAKE_CXX_FLAGS=-stdlib=libc++ -U_GNU_SOURCE -D_POSIX_C_SOURCE=200809L -D_XOPEN_SOURCE=700"
	cmake --build build/posix -j $(JOBS) --target exam_scores

# The limits of .clang-tidy over every product file: the POSIX ones as the
# native build compiles them, the Windows ones through the MinGW-w64 target.
tidy:
	@tests/install_needs.sh --windows
	cmake -S . -B build/tidy -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	cmake -S . -B build/tidy-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_CXX_USE_RESPONSE_FILE_FOR_INCLUDES=OFF >/dev/null
	git ls-files 'src/*.cpp' | grep -v '/windows/' | xargs clang-tidy -p build/tidy --quiet
	cxx=$$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -n 1); \
	git ls-files 'src/console/platform/windows/*.cpp' | xargs clang-tidy -p build/tidy-windows \
	  --quiet --extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-isystem$$cxx \
	  --extra-arg=-isystem$$cxx/x86_64-w64-mingw32 --extra-arg=-isystem/usr/x86_64-w64-mingw32/include

clean:
	rm -rf build

FORCE:
