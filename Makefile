BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build run test bench clean

all: build

deps:
	@./tools/install-deps

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j2

# Without a display the game runs headless and leaves a screenshot.
run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    $(BUILD)/tiltboard --headless --frames 600 --screenshot $(BUILD)/screenshot.png && \
	    echo "headless run: screenshot written to $(BUILD)/screenshot.png"; \
	else \
	    $(BUILD)/tiltboard; \
	fi

test: build
	@cd $(BUILD) && SDL_VIDEODRIVER=offscreen ctest --output-on-failure -j2

bench: build
	@$(BUILD)/bench/engine_bench
	@./bench/frame/run_frame_bench $(BUILD)/bench/frame_bench

clean:
	rm -rf $(BUILD)
