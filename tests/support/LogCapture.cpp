#include "LogCapture.h"

#include <fstream>

#include "host/core/Log.h"

LogCapture::LogCapture() : path_(dir_.file("log.txt")) { host::setLogFile(path_); }

LogCapture::~LogCapture() { host::setLogFile(""); }

std::vector<std::string> LogCapture::lines() const {
    std::ifstream in(path_);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

std::string LogCapture::joined() const {
    std::string all;
    for (const std::string& l : lines()) all += l + "\n";
    return all;
}

::testing::AssertionResult LogCapture::exactlyOneLine() const {
    const std::vector<std::string> all = lines();
    if (all.size() == 1) return ::testing::AssertionSuccess() << all[0];
    auto failure = ::testing::AssertionFailure() << all.size() << " log lines:";
    for (const std::string& l : all) failure << "\n  " << l;
    return failure;
}
