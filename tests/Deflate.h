// zlib compression for the tests of the inflation paths.
#pragma once

#include <zlib.h>

#include <string>

// zlib (windowBits 15) or gzip (31) compression of `data`.
inline std::string compress(const std::string& data, int windowBits = 15, int level = 9) {
    z_stream s{};
    deflateInit2(&s, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, uLong(data.size())) + 64, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}
