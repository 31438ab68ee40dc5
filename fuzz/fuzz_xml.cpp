// Ad server answers: the XML reader, then the lookups the banner makes.
#include <string>

#include "FuzzTarget.h"
#include "adnetworks/DTXMLDocument.h"
#include "adnetworks/DTXMLElement.h"
#include "host/core/Object.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host::AutoreleasePool pool;
    DTXMLDocument* document = DTXMLDocument::documentWithData(std::string(reinterpret_cast<const char*>(data), size));
    if (document && document->documentRoot()) {
        DTXMLElement* root = document->documentRoot();
        for (const char* name : {"imageurl", "clickurl", "htmlString", "refresh", "bannerwidth"})
            (void)root->valueForKey(name);
        (void)root->description();
    }
    return 0;
}
