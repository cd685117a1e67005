# Thin wrapper over CMake: the build itself lives in CMakeLists.txt.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

TEST_DIR := build/test
RELEASE_DIR := build/release
BENCH_DIR := build/bench

.PHONY: all run test bench clean

all: $(RELEASE_DIR)/exam_scores

$(RELEASE_DIR)/exam_scores: FORCE
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: $(RELEASE_DIR)/exam_scores
	./$(RELEASE_DIR)/exam_scores

test:
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DEXAM_SCORES_TESTS=ON \
	  -DEXAM_SCORES_SANITIZE=ON -DEXAM_SCORES_WERROR=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure --no-tests=error

bench:
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DEXAM_SCORES_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./$(BENCH_DIR)/bench/processing_bench

clean:
	rm -rf build

FORCE:
