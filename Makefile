# Thin wrappers over CMake/CTest. Every target installs what is missing first.
# QT=6 builds with Qt 6 (in build-qt6/ unless BUILD_DIR says otherwise); Qt 5 is the default.
QT ?= 5
ifeq ($(QT),6)
BUILD_DIR ?= build-qt6
else
BUILD_DIR ?= build
endif
JOBS ?= $(shell nproc)
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test bench fuzz soak package clean

all: build

deps:
	@TARSA_QT=$(QT) bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DTARSA_QT=$(QT) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Starts the bundled manager simulator and the client connected to it. Without a display
# it runs under Xvfb and saves a screenshot of the main window instead. Builds only the two
# programs it runs, not the tests (`make test` builds everything).
run: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target tarsa trxm-sim
	@bash tools/run-demo.sh $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BUILD_DIR)-bench -G Ninja -DTARSA_QT=$(QT) -DCMAKE_BUILD_TYPE=Release -DTARSA_BUILD_TESTS=OFF -DTARSA_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD_DIR)-bench -j $(JOBS)
	@bash tools/run-bench.sh $(BUILD_DIR)-bench

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD_DIR)-fuzz -G Ninja -DTARSA_QT=$(QT) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSA_BUILD_TESTS=OFF -DTARSA_FUZZ=ON >/dev/null
	@cmake --build $(BUILD_DIR)-fuzz -j $(JOBS)
	@bash tools/run-fuzz.sh $(BUILD_DIR)-fuzz $(FUZZ_SECONDS)

# The real client against the simulator for SOAK_SECONDS (default 3600) with link drops and
# schedule churn; fails when memory, threads or open files grow. Not part of `make test`.
soak: build
	@nice -n 10 bash tools/soak.sh $(BUILD_DIR)

# A Release build of its own, packed into build-package/tarsa_<version>_<arch>.deb.
package: deps
	@cmake -S . -B $(BUILD_DIR)-package -G Ninja -DTARSA_QT=$(QT) -DCMAKE_BUILD_TYPE=Release -DTARSA_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_DIR)-package -j $(JOBS)
	@cd $(BUILD_DIR)-package && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-fuzz $(BUILD_DIR)-package
