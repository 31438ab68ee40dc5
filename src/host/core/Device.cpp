#include "host/core/Device.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"

namespace host {

Device& Device::current() {
    static Device d;
    return d;
}

void Device::configure(bool tablet, bool retina, const std::string& dataDir) {
    tablet_ = tablet;
    retina_ = retina;
    dataDir_ = dataDir;
}

CGRect Device::screenBounds() const {
    return tablet_ ? CGRectMake(0, 0, 768, 1024) : CGRectMake(0, 0, 320, 480);
}

std::string Device::uniqueIdentifier() const {
    constexpr size_t kIdentifierLength = 40;
    const std::string path = dataDir_.empty() ? std::string() : dataDir_ + "/device-id";
    // Something other than a regular file in its place is left alone:
    // writing to a FIFO would wait for a reader for ever.
    bool store = !path.empty();
    if (store) {
        SafeFileReader reader(path, 4096);
        std::string contents, stored;
        if (reader.readAll(contents)) {
            std::istringstream(contents) >> stored;
            if (stored.size() == kIdentifierLength) return stored;
        } else if (!reader.isMissing()) {
            log("device: %s; using an identifier for this run only", reader.error().c_str());
            store = false;
        }
    }
    std::random_device rd;
    std::string id;
    const char* hex = "0123456789abcdef";
    for (size_t i = 0; i < kIdentifierLength; ++i) id += hex[rd() % 16];
    if (store) {
        std::ofstream out(path, std::ios::trunc);
        if (!(out << id << "\n")) log("device: cannot store the device identifier in %s", path.c_str());
    }
    return id;
}

int compareVersions(const std::string& a, const std::string& b) {
    std::istringstream sa(a), sb(b);
    while (sa.good() || sb.good()) {
        std::string pa, pb;
        std::getline(sa, pa, '.');
        std::getline(sb, pb, '.');
        long na = std::strtol(pa.c_str(), nullptr, 10), nb = std::strtol(pb.c_str(), nullptr, 10);
        if (na != nb) return na < nb ? -1 : 1;
    }
    return 0;
}

}  // namespace host
