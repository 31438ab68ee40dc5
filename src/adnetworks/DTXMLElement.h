// One element of a DTXMLDocument: its name, all of its character data
// concatenated, its attributes and its child elements in document order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/core/Object.h"
#include "host/core/Ref.h"

class DTXMLElement : public host::Object {
public:
    bool initWithName(const std::string& name);
    static DTXMLElement* elementWithName(const std::string& name);  // autoreleased

    const std::string& name() const { return name_; }
    void setName(const std::string& n) { name_ = n; }
    const std::string& text() const { return text_; }
    std::string& mutableText() { return text_; }
    void setText(const std::string& t) { text_ = t; }
    const std::map<std::string, std::string>& attributes() const { return attributes_; }
    std::map<std::string, std::string>& mutableAttributes() { return attributes_; }
    void setAttributes(std::map<std::string, std::string> a) { attributes_ = std::move(a); }
    // "" when the attribute is absent.
    std::string attribute(const std::string& key) const;
    const std::vector<host::Ref<DTXMLElement>>& children() const { return children_; }
    // Not retained: the parent owns its children.
    DTXMLElement* parent() const { return parent_; }

    // Appends `child` (taken out of any previous parent).
    void addChild(DTXMLElement* child);
    // The first child of that name in document order, or nullptr.
    DTXMLElement* getNamedChild(const std::string& name) const;
    std::vector<DTXMLElement*> getNamedChildren(const std::string& name) const;
    // Removes the first child of that name; false if there is none.
    bool removeNamedChild(const std::string& name);
    // Sets the text of the first child of that name; false if there is none.
    bool changeTextForNamedChild(const std::string& name, const std::string& text);
    // Appends a new child with that name and text and returns it.
    DTXMLElement* addChildWithName(const std::string& name, const std::string& text);

    // The text of the first child named `key` ("" when there is none).
    std::string valueForKey(const std::string& key) const;
    // Feed items: the texts of the "title", "link" and "content" children.
    std::string title() const { return valueForKey("title"); }
    std::string link() const { return valueForKey("link"); }
    std::string content() const { return valueForKey("content"); }

    // "<DTXMLElement = 0000ABCD | name = item | children = 3>"
    std::string description() const override;

protected:
    ~DTXMLElement() override;

private:
    std::string name_;
    std::string text_;
    std::map<std::string, std::string> attributes_;
    std::vector<host::Ref<DTXMLElement>> children_;
    DTXMLElement* parent_ = nullptr;
};
