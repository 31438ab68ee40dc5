// Property lists from the feeds, the user defaults file and resources:
// XML, binary and old-style text, through the one parser they all use.
#include <string>

#include "FuzzTarget.h"
#include "host/data/PlistValue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    host::PlistValue value = host::PlistValue::parse(data, size, &error);
    if (value.isDictionary()) (void)value["Dict"]["adString"].array();
    return 0;
}
