// Every harness defines this entry, called with one input at a time; it
// must return 0 and must not crash, hang or leak whatever the bytes are.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
