# Dayvault: the commands of the README. Each target installs what is missing, configures and builds.
#   make run        build and start the desktop program on the demo file (without a display: under
#                   Xvfb, with a screenshot and the coming week's agenda)
#   make test       build with warnings as errors and run every test through CTest
#   make test-asan  the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   make test-tsan  the same with ThreadSanitizer (the listing threads, the sync worker)
#   make bench      build and run the benchmarks
#   make fuzz       build the fuzz targets with clang and run each for FUZZ_SECONDS (default 60)
#   make coverage   a --coverage build in build-coverage/, every test, and a gcovr report of line and
#                   branch coverage per source file (build-coverage/coverage/) and per module
#   make manual-images  take the manual's pictures with the screenshot test into doc/images/
#   make package    build the Debian package build/package/dayvault_<version>_<arch>.deb and check
#                   it with lintian (the test suite also unpacks, validates and starts it)
#   make translations-update
#                   bring data/lang/*.ts in step with the string table (new strings to translate,
#                   vanished ones marked obsolete); the build turns them into lang/*.qm
#   make monkey     the sanitizer build of the desktop program driven by a seeded random monkey on a
#                   private desktop (Xvfb, openbox, trayer) for MONKEY_MINUTES (default 30) with
#                   MONKEY_SEED (default 1); reports sanitizer findings and freezes over 1 s in
#                   build-asan/monkey-<seed>/report.txt and fails on either (a tool, not a test)
#   make mutants    apply each hand-made mutant of tools/mutants/mutants.txt to a scratch copy, run
#                   the tests that matter, and report it killed or survived (MUTANTS=name,... for some)

SHELL        := /bin/bash
BUILD_DIR    ?= build
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 60
COVERAGE_DIR ?= build-coverage
MUTANT_DIR   ?= build-mutants
MUTANTS      ?=
CTEST_ARGS   ?=
MONKEY_MINUTES ?= 30
MONKEY_SEED    ?= 1
# LeakSanitizer reports inside the system's D-Bus library, and only there, are not ours.
LSAN_SUPPRESSIONS := $(abspath tools/sanitizers/lsan.supp)

# Debian 12 packages, by the targets that need them.
BUILD_PACKAGES := g++ make cmake ninja-build pkg-config
TEST_PACKAGES  := googletest libgtest-dev libgmock-dev python3-holidays libxml2-utils python3-pyftpdlib
LIB_PACKAGES   := nlohmann-json3-dev libcurl4-openssl-dev libical-dev
GUI_PACKAGES   := qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev qt6-tools-dev \
                  qt6-tools-dev-tools qt6-l10n-tools qt6-qpa-plugins libgl-dev xvfb xauth \
                  x11-utils imagemagick dbus-daemon fonts-dejavu-core qtkeychain-qt6-dev \
                  qt6-translations-l10n
BENCH_PACKAGES := libbenchmark-dev
FUZZ_PACKAGES  := clang libclang-rt-14-dev
COVERAGE_PACKAGES := gcovr
MUTANT_PACKAGES   := ccache
# The monkey's desktop: X server, window manager, notification area, input, screenshots, and the
# X protocol from Python for its responsiveness probe.
MONKEY_PACKAGES   := xvfb openbox trayer xdotool imagemagick x11-utils python3 python3-xlib \
                     util-linux iproute2
# The package and its checks: CPack's DEB generator with dpkg-shlibdeps, and the Debian tools that
# validate the desktop entry, the AppStream metadata and the package.
PACKAGE_PACKAGES  := dpkg-dev file lintian desktop-file-utils appstream python3

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Installs only the packages that are not installed yet, so a second run costs one dpkg query.
define install_missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -q '^install ok installed$$' || echo "$$p"; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

.PHONY: all deps test-deps bench-deps fuzz-deps coverage-deps mutant-deps package-deps monkey-deps build run \
        test test-asan test-tsan monkey bench fuzz coverage mutants manual-images package translations-update format clean

all: build

deps:
	$(call install_missing,$(BUILD_PACKAGES) $(LIB_PACKAGES) $(GUI_PACKAGES) $(TEST_PACKAGES))

bench-deps: deps
	$(call install_missing,$(BENCH_PACKAGES))

fuzz-deps: deps
	$(call install_missing,$(FUZZ_PACKAGES))

coverage-deps: deps
	$(call install_missing,$(COVERAGE_PACKAGES))

mutant-deps: deps
	$(call install_missing,$(MUTANT_PACKAGES))

package-deps: deps
	$(call install_missing,$(PACKAGE_PACKAGES))

monkey-deps: deps
	$(call install_missing,$(MONKEY_PACKAGES))

# $(1) build folder, $(2) extra CMake options
define configure_and_build
	cmake -S . -B $(1) -G Ninja $(2)
	cmake --build $(1) -j $(JOBS)
endef

build: deps
	$(call configure_and_build,$(BUILD_DIR),-DDAYVAULT_WERROR=ON)

run: build
	scripts/run-desktop.sh $(BUILD_DIR)

test: package-deps build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# The screenshot test writes the light pictures under stable names; they are committed in doc/images/.
manual-images: build
	rm -rf $(BUILD_DIR)/manual-images
	DAYVAULT_MANUAL_IMAGES=$(abspath $(BUILD_DIR))/manual-images \
	    scripts/with-xvfb.sh -s 1280x800 $(BUILD_DIR)/bin/dayvault_screenshot_tests
	mkdir -p doc/images
	@# Only the pictures the manual shows: the test takes more, and the manual check refuses
	@# a picture that no page shows.
	for image in $(BUILD_DIR)/manual-images/*.png; do \
	    if grep -qF "images/$$(basename "$$image")" doc/*.html; then cp "$$image" doc/images/; fi; \
	done

ASAN_CONFIGURE := -DCMAKE_BUILD_TYPE=Debug -DDAYVAULT_WERROR=ON -DDAYVAULT_SANITIZE=ON

test-asan: package-deps
	$(call configure_and_build,$(BUILD_DIR)-asan,$(ASAN_CONFIGURE))
	cd $(BUILD_DIR)-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    LSAN_OPTIONS=suppressions=$(LSAN_SUPPRESSIONS):print_suppressions=0 \
	    ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Builds only the two programs it needs of the sanitizer build.
monkey: monkey-deps
	cmake -S . -B $(BUILD_DIR)-asan -G Ninja $(ASAN_CONFIGURE)
	cmake --build $(BUILD_DIR)-asan -j $(JOBS) --target dayvault dayvault-cli
	/usr/bin/python3 tools/monkey/monkey.py --build $(BUILD_DIR)-asan \
	    --minutes $(MONKEY_MINUTES) --seed $(MONKEY_SEED)

test-tsan: deps
	$(call configure_and_build,$(BUILD_DIR)-tsan,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DDAYVAULT_WERROR=ON -DDAYVAULT_SANITIZE_THREADS=ON)
	cd $(BUILD_DIR)-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

bench: bench-deps
	$(call configure_and_build,$(BUILD_DIR)-bench,-DCMAKE_BUILD_TYPE=Release -DDAYVAULT_BUILD_TESTS=OFF -DDAYVAULT_BUILD_BENCH=ON)
	$(BUILD_DIR)-bench/bin/dayvault_bench $(BENCH_ARGS)
	$(BUILD_DIR)-bench/bin/dayvault_calendar_bench $(BENCH_ARGS)
	$(BUILD_DIR)-bench/bin/dayvault_views_bench $(BENCH_ARGS)
	$(BUILD_DIR)-bench/bin/dayvault_ical_bench $(BENCH_ARGS)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    $(BUILD_DIR)-bench/bin/dayvault_desktop_bench $(DESKTOP_BENCH_ARGS); \
	else \
	    scripts/with-xvfb.sh $(BUILD_DIR)-bench/bin/dayvault_desktop_bench $(DESKTOP_BENCH_ARGS); \
	fi

fuzz: fuzz-deps
	$(call configure_and_build,$(BUILD_DIR)-fuzz,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DDAYVAULT_BUILD_TESTS=OFF -DDAYVAULT_BUILD_GUI=OFF -DDAYVAULT_BUILD_FUZZ=ON)
	@set -e; for target in $(BUILD_DIR)-fuzz/bin/fuzz_*; do \
	    [ -x "$$target" ] || continue; \
	    name=$$(basename "$$target"); \
	    corpus=$(BUILD_DIR)-fuzz/corpus/$$name; mkdir -p "$$corpus"; \
	    seeds=tests/fuzz/seeds/$$name; [ -d "$$seeds" ] || seeds=; \
	    echo "== $$name for $(FUZZ_SECONDS) s"; \
	    "$$target" -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -artifact_prefix=$(BUILD_DIR)-fuzz/ "$$corpus" $$seeds; \
	  done

# Unoptimised, so that every line and branch in the report is one of the source's; atomic counters,
# because the sync worker and the listing count from several threads at once and racing updates can
# leave a branch count negative, which gcov then cannot report. The counters are cleared before the
# run, so the report is of this run of the tests alone; a failing test still gets its report, and
# then fails the target. The branches of defaulted comparisons are the compiler's, not ours: their
# tests would restate the declaration, so they are left out of the branch count.
coverage: coverage-deps
	$(call configure_and_build,$(COVERAGE_DIR),-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS=--coverage -fprofile-update=atomic")
	find $(COVERAGE_DIR) -name '*.gcda' -delete
	cd $(COVERAGE_DIR) && { ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS); echo $$? > ctest-status; }
	mkdir -p $(COVERAGE_DIR)/coverage
	gcovr -r . --object-directory $(COVERAGE_DIR) --filter 'src/' -j $(JOBS) \
	    --exclude-throw-branches --exclude-unreachable-branches \
	    --exclude-branches-by-pattern '.*operator(==|<=>).*= default.*' \
	    --txt $(COVERAGE_DIR)/coverage/files.txt --json-summary $(COVERAGE_DIR)/coverage/summary.json \
	    --html-details $(COVERAGE_DIR)/coverage/index.html
	@python3 tools/coverage_summary.py $(COVERAGE_DIR)/coverage/summary.json | tee $(COVERAGE_DIR)/coverage/modules.txt
	@echo "Per file: $(COVERAGE_DIR)/coverage/files.txt and $(COVERAGE_DIR)/coverage/index.html"
	@[ "$$(cat $(COVERAGE_DIR)/ctest-status)" = 0 ] || { echo "Some tests failed; the report covers the run as it went."; exit 1; }

# Not part of 'make test': each mutant rebuilds one scratch tree and runs its test programs.
mutants: mutant-deps
	python3 tools/mutants/run_mutants.py --build-dir $(MUTANT_DIR) --jobs $(JOBS) $(if $(MUTANTS),--only $(MUTANTS))

package: package-deps build
	rm -rf $(BUILD_DIR)/package
	cd $(BUILD_DIR) && cpack -G DEB -B package
	lintian --fail-on error $(BUILD_DIR)/package/*.deb
	@echo "Package: $$(ls $(BUILD_DIR)/package/*.deb)"

translations-update: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DDAYVAULT_WERROR=ON
	cmake --build $(BUILD_DIR) -j $(JOBS) --target dayvault_translations_update

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-asan $(BUILD_DIR)-tsan $(BUILD_DIR)-bench $(BUILD_DIR)-fuzz \
	    $(COVERAGE_DIR) $(MUTANT_DIR)
