# Entry points: every target installs what is missing first (scripts/bootstrap.sh).
JOBS ?= $(shell nproc)
NATIVE := build
WIN := build-win
ASAN := build-asan
FUZZ := build-fuzz
# The shipped programs: optimised, stripped, no tests (make release).
RELEASE := build-release
WIN_RELEASE := build-win-release
RELEASE_BIN := $(RELEASE)/app/grandvue
WIN_RELEASE_BIN := $(WIN_RELEASE)/app/grandvue.exe
# CI turns warnings in the project's code into errors: make test WERROR=ON
WERROR ?= OFF
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
DESTDIR ?=
# The program `make install` copies: the release build, made when missing.
GRANDVUE ?= $(RELEASE_BIN)
BINDIR = $(DESTDIR)$(PREFIX)/bin
MAN1DIR = $(DESTDIR)$(PREFIX)/share/man/man1
COMPLETIONDIR = $(DESTDIR)$(PREFIX)/share/bash-completion/completions
# What bootstrap installs: all (every target's needs) or linux (the Linux program and the demo).
BOOTSTRAP_SET ?= all
# Where make dist writes the archives for users.
DIST := dist/out

.PHONY: all bootstrap configure build test test-native test-win sanitize fuzz fuzz-ci demo bench release check-release \
	clean native-program native-release install uninstall format format-check dist

all: build

bootstrap:
	@bash scripts/bootstrap.sh $(BOOTSTRAP_SET)

configure: bootstrap
	@test -f $(NATIVE)/CMakeCache.txt || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGV_WERROR=$(WERROR)
	@test -f $(WIN)/CMakeCache.txt || cmake -S . -B $(WIN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGV_WERROR=$(WERROR) \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake

build: configure
	cmake --build $(NATIVE) -j $(JOBS)
	cmake --build $(WIN) -j $(JOBS)

test: build
	@bash scripts/run-tests.sh $(NATIVE) $(WIN)

# The Linux program alone, as shipped.
native-release: bootstrap
	@test -f $(RELEASE)/CMakeCache.txt || cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DGV_TESTS=OFF \
		-DGV_WERROR=$(WERROR)
	cmake --build $(RELEASE) --target grandvue -j $(JOBS)

release: native-release
	@test -f $(WIN_RELEASE)/CMakeCache.txt || cmake -S . -B $(WIN_RELEASE) -DCMAKE_BUILD_TYPE=Release -DGV_TESTS=OFF \
		-DGV_WERROR=$(WERROR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
	cmake --build $(WIN_RELEASE) --target grandvue -j $(JOBS)

# Size, stripping and the oldest C library the Linux program needs (CI).
check-release: release
	@bash scripts/check-release.sh $(RELEASE_BIN) $(WIN_RELEASE_BIN)

# The native suite once more with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: bootstrap
	@test -f $(ASAN)/CMakeCache.txt || cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DGV_SANITIZE=ON
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN) -j $(JOBS) --output-on-failure

# Each fuzz target for FUZZ_SECONDS (clang, libFuzzer, ASan, UBSan); fuzz-ci: about a minute in all.
fuzz: bootstrap
	@GV_WERROR=$(WERROR) bash fuzz/run.sh $(FUZZ) $(FUZZ_SECONDS)

fuzz-ci: bootstrap
	@GV_WERROR=$(WERROR) bash fuzz/run.sh $(FUZZ) 12

# clang-format over every tracked *.cpp and *.h: format-check lists the files that differ and fails;
# format rewrites them.
format-check: bootstrap
	@bash scripts/format.sh check

format: bootstrap
	@bash scripts/format.sh apply

# Only the Linux program: a newcomer sees it run without waiting for the Windows tree and the tests.
native-program: bootstrap
	@test -f $(NATIVE)/CMakeCache.txt || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(NATIVE) --target grandvue -j $(JOBS)

# The release program (what make install copies), with only the Linux program's and the demo's packages.
demo:
	@$(MAKE) --no-print-directory native-release BOOTSTRAP_SET=linux
	@bash scripts/demo.sh $(RELEASE)

install:
	@test -x $(GRANDVUE) || $(MAKE) native-release
	install -d $(BINDIR) $(MAN1DIR) $(COMPLETIONDIR)
	install -m 755 $(GRANDVUE) $(BINDIR)/grandvue
	install -m 644 docs/grandvue.1 $(MAN1DIR)/grandvue.1
	install -m 644 completion/grandvue $(COMPLETIONDIR)/grandvue

uninstall:
	rm -f $(BINDIR)/grandvue $(MAN1DIR)/grandvue.1 $(COMPLETIONDIR)/grandvue

# The archives for users (zip for Windows, tarball for Linux, SHA256SUMS), the same bytes from one commit,
# then checked as a user unpacks them.
dist: release
	@bash scripts/dist.sh $(RELEASE_BIN) $(WIN_RELEASE_BIN) $(DIST)
	@bash scripts/check-dist.sh $(DIST)

bench: build
	@bash bench/run.sh $(NATIVE)

clean:
	rm -rf $(NATIVE) $(WIN) $(ASAN) $(FUZZ) $(RELEASE) $(WIN_RELEASE)
