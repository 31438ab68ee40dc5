// The application bundle: the resources directory. It is the --resources
// directory when one was given, else "resources" beside the executable.
#pragma once

#include <mutex>
#include <string>

namespace host {

class Bundle {
public:
    static Bundle& main();

    std::string resourcePath() const;
    // Points the bundle at another directory (tests); empty restores the
    // default.
    void setResourcePath(const std::string& directory);

    // The full path of "name" (plus "." type when type is not empty) in
    // `directory` below the resources, or "" when no such file exists.
    std::string pathForResource(const std::string& name, const std::string& type,
                                const std::string& directory) const;

    static bool fileExists(const std::string& path);

private:
    Bundle() = default;
    static std::string defaultResourcePath();

    mutable std::mutex lock_;  // the loading thread looks resources up too
    mutable std::string resourcePath_;
};

}  // namespace host
