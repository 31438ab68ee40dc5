// Answers that try to make an XML reader use unbounded memory or read
// files it should not.
#pragma once

#include <string>

// Ten levels of entities, each made of ten of the level below: a short
// document whose text expands to ten thousand million characters.
inline std::string billionLaughsDocument() {
    std::string doc = "<?xml version=\"1.0\"?><!DOCTYPE ad [<!ENTITY e0 \"aaaaaaaaaa\">";
    for (int i = 1; i < 10; ++i) {
        doc += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) doc += "&e" + std::to_string(i - 1) + ";";
        doc += "\">";
    }
    return doc + "]><ad type=\"textAd\"><htmlString>&e9;</htmlString></ad>";
}

// A document whose text would be the contents of a local file.
inline std::string externalEntityDocument(const std::string& path) {
    return "<?xml version=\"1.0\"?><!DOCTYPE ad [<!ENTITY s SYSTEM \"file://" + path + "\">]><ad>&s;</ad>";
}
