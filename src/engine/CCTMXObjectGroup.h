// CCTMXObjectGroup: a named group of objects of a tile map. Each object is
// a dictionary: "name", "type", "x" and "y" (integers, pixels, origin at
// the bottom left of the map as the engine counts), "width" and "height"
// as the file writes them, and the object's own properties; tile objects
// also carry their "gid".
#pragma once

#include <string>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/data/PlistValue.h"

class CCTMXObjectGroup : public host::Object {
public:
    static CCTMXObjectGroup* objectGroup() {
        return host::create<CCTMXObjectGroup>([](CCTMXObjectGroup*) { return true; });
    }

    const std::string& groupName() const { return groupName_; }
    void setGroupName(const std::string& name) { groupName_ = name; }
    // Pixels, y down as in the file.
    CGPoint positionOffset() const { return positionOffset_; }
    void setPositionOffset(CGPoint offset) { positionOffset_ = offset; }
    const host::PlistValue::Array& objects() const { return objects_; }
    host::PlistValue::Array& mutableObjects() { return objects_; }
    const host::PlistValue::Dictionary& properties() const { return properties_; }
    host::PlistValue::Dictionary& mutableProperties() { return properties_; }

    // The property's value; none when the group has no such property.
    const host::PlistValue& propertyNamed(const std::string& name) const;
    // The first object whose "name" is `name`; none when there is none.
    const host::PlistValue& objectNamed(const std::string& name) const;

protected:
    ~CCTMXObjectGroup() override = default;

private:
    std::string groupName_;
    CGPoint positionOffset_ = CGPointZero;
    host::PlistValue::Array objects_;
    host::PlistValue::Dictionary properties_;
};

// A value of `dictionary`, or none.
const host::PlistValue& ccTMXValueNamed(const host::PlistValue::Dictionary& dictionary, const std::string& name);
