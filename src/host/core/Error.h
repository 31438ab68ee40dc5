// An error as the platform reports one: a domain, a code and a
// human-readable description (the localised description of its user info).
#pragma once

#include <string>
#include <utility>

#include "host/core/Object.h"

namespace host {

class Error : public Object {
public:
    Error(std::string domain, long code, std::string localizedDescription)
        : domain_(std::move(domain)), code_(code), description_(std::move(localizedDescription)) {}

    // An autoreleased error.
    static Error* errorWithDomain(const std::string& domain, long code, const std::string& localizedDescription) {
        return host::autorelease(new Error(domain, code, localizedDescription));
    }

    const std::string& domain() const { return domain_; }
    long code() const { return code_; }
    const std::string& localizedDescription() const { return description_; }

    std::string description() const override {
        return "Error Domain=" + domain_ + " Code=" + std::to_string(code_) + " \"" + description_ + "\"";
    }

private:
    std::string domain_;
    long code_;
    std::string description_;
};

}  // namespace host
