// Banner and page images from the network: PNG and JPEG decoding.
#include "FuzzTarget.h"
#include "host/core/Object.h"
#include "host/graphics/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host::AutoreleasePool pool;
    (void)host::Image::imageWithData(data, size);
    return 0;
}
