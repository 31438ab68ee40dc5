#include "Sample.h"

SampleCatalogue& SampleCatalogue::shared() {
    static SampleCatalogue catalogue;
    return catalogue;
}

bool SampleCatalogue::add(Sample sample) {
    samples_.push_back(std::move(sample));
    return true;
}

const Sample* SampleCatalogue::find(const std::string& name) const {
    for (const Sample& s : samples_)
        if (s.name == name) return &s;
    return nullptr;
}
