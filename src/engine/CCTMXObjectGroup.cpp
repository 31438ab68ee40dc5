#include "engine/CCTMXObjectGroup.h"

const host::PlistValue& ccTMXValueNamed(const host::PlistValue::Dictionary& dictionary, const std::string& name) {
    const auto found = dictionary.find(name);
    return found == dictionary.end() ? host::PlistValue::none() : found->second;
}

const host::PlistValue& CCTMXObjectGroup::propertyNamed(const std::string& name) const {
    return ccTMXValueNamed(properties_, name);
}

const host::PlistValue& CCTMXObjectGroup::objectNamed(const std::string& name) const {
    for (const host::PlistValue& object : objects_)
        if (const std::string* objectName = object["name"].string(); objectName && *objectName == name) return object;
    return host::PlistValue::none();
}
