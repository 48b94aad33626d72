# The two commands a newcomer needs: `make run` and `make test`. Both set everything up first.
JOBS ?= $(shell nproc)

.PHONY: setup build run test bench screenshots journey paper-photos train-paper-detector sanitize

setup:
	./scripts/setup.sh

build: setup
	cmake --build build --parallel $(JOBS)

run: build
	./build/app/quillfen

test: build
	ctest --test-dir build --output-on-failure --parallel $(JOBS)

bench: build
	cmake --build build --parallel $(JOBS) --target all
	@echo "Benchmarks are in ./build/bench; run them one by one."

# Refreshes the README's screenshots in docs/screenshots (the sample book in each mode, on Xvfb).
screenshots: build
	./bench/screenshots.sh

# The application's figures: start, sample book, memory and export times, medians of five starts.
journey: build
	./bench/journey.sh

# Composes the photos the paper detector is trained and judged on from packaged surfaces and
# artwork (training and validation files kept apart), installing those packages when missing.
PAPER_PHOTOS ?= build/paper-photos
paper-photos:
	./scripts/paper/setup.sh
	/usr/bin/python3 scripts/paper/compose_photos.py --out $(PAPER_PHOTOS)

# Retrains the paper detector's network on CPU and writes engine/cleanup/models/paper-segmentation.*
# The scenes the project draws itself (bench/PaperPhotoWriterBench) are trained on beside the composed photos;
# a short second stage adds noise-free pictures of a sheet, as scans and screenshots show one; a third, longer
# one goes on from there with 6,000 generated scenes, the kinds of photo evened out further, and a fourth goes
# over the same photos once more with a fresh schedule.
train-paper-detector: paper-photos build
	QUILLFEN_PAPER_WRITE=$(PAPER_PHOTOS)/generated ./build/bench/PaperPhotoWriterBench
	/usr/bin/python3 scripts/paper/train_detector.py --photos $(PAPER_PHOTOS) --also $(PAPER_PHOTOS)/generated \
		--work build/paper-detector
	/usr/bin/python3 scripts/paper/train_detector.py --photos $(PAPER_PHOTOS) --also $(PAPER_PHOTOS)/generated \
		--work build/paper-detector/plain --resume build/paper-detector/best.pt --plain 2 --epochs 8 --lr 3e-4
	QUILLFEN_PAPER_WRITE=$(PAPER_PHOTOS)/generated QUILLFEN_PAPER_WRITE_COUNT=6000 ./build/bench/PaperPhotoWriterBench
	/usr/bin/python3 scripts/paper/train_detector.py --photos $(PAPER_PHOTOS) --also $(PAPER_PHOTOS)/generated \
		--work build/paper-detector/longer --resume build/paper-detector/plain/best.pt --plain 2 --epochs 80 \
		--lr 1e-3 --balance 0.8
	/usr/bin/python3 scripts/paper/train_detector.py --photos $(PAPER_PHOTOS) --also $(PAPER_PHOTOS)/generated \
		--work build/paper-detector/again --resume build/paper-detector/longer/best.pt --plain 2 --epochs 40 \
		--lr 1e-3 --balance 0.8

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of its own in ./build-asan. Each
# process writes what the sanitizers find to a file of its own in build-asan/sanitizer-reports, the real program
# under the end-to-end tests too, whose own output no one reads; any such file fails the run.
SANITIZER_REPORTS := $(CURDIR)/build-asan/sanitizer-reports
sanitize: setup
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLFEN_SANITIZE=ON
	cmake --build build-asan --parallel $(JOBS)
	rm -rf $(SANITIZER_REPORTS) && mkdir -p $(SANITIZER_REPORTS)
	ASAN_OPTIONS=halt_on_error=1:fast_unwind_on_malloc=0:log_path=$(SANITIZER_REPORTS)/report \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:log_path=$(SANITIZER_REPORTS)/report \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan-suppressions.txt:print_suppressions=0 \
	ctest --test-dir build-asan --output-on-failure --parallel $(JOBS); status=$$?; \
	if [ -n "$$(ls -A $(SANITIZER_REPORTS))" ]; then cat $(SANITIZER_REPORTS)/*; exit 1; fi; exit $$status
