#include "adnetworks/DTXMLElement.h"

#include <algorithm>

bool DTXMLElement::initWithName(const std::string& name) {
    name_ = name;
    return true;
}

DTXMLElement* DTXMLElement::elementWithName(const std::string& name) {
    return host::create<DTXMLElement>([&](DTXMLElement* e) { return e->initWithName(name); });
}

DTXMLElement::~DTXMLElement() {
    // Children may outlive this element if someone else retains them.
    for (auto& child : children_) child->parent_ = nullptr;
}

std::string DTXMLElement::attribute(const std::string& key) const {
    auto it = attributes_.find(key);
    return it == attributes_.end() ? std::string() : it->second;
}

void DTXMLElement::addChild(DTXMLElement* child) {
    if (!child || child == this) return;
    host::Ref<DTXMLElement> keep = child;
    if (DTXMLElement* old = child->parent_) {
        auto& siblings = old->children_;
        siblings.erase(std::find(siblings.begin(), siblings.end(), keep));
    }
    child->parent_ = this;
    children_.push_back(keep);
}

DTXMLElement* DTXMLElement::getNamedChild(const std::string& name) const {
    for (const auto& child : children_)
        if (child->name_ == name) return child.get();
    return nullptr;
}

std::vector<DTXMLElement*> DTXMLElement::getNamedChildren(const std::string& name) const {
    std::vector<DTXMLElement*> found;
    for (const auto& child : children_)
        if (child->name_ == name) found.push_back(child.get());
    return found;
}

bool DTXMLElement::removeNamedChild(const std::string& name) {
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const host::Ref<DTXMLElement>& c) { return c->name_ == name; });
    if (it == children_.end()) return false;
    (*it)->parent_ = nullptr;
    children_.erase(it);
    return true;
}

bool DTXMLElement::changeTextForNamedChild(const std::string& name, const std::string& text) {
    DTXMLElement* child = getNamedChild(name);
    if (!child) return false;
    child->text_ = text;
    return true;
}

DTXMLElement* DTXMLElement::addChildWithName(const std::string& name, const std::string& text) {
    DTXMLElement* child = elementWithName(name);
    child->text_ = text;
    addChild(child);
    return child;
}

std::string DTXMLElement::valueForKey(const std::string& key) const {
    DTXMLElement* child = getNamedChild(key);
    return child ? child->text_ : std::string();
}

std::string DTXMLElement::description() const {
    return "<DTXMLElement = " + host::addressString(this) + " | name = " + name_ +
           " | children = " + std::to_string(children_.size()) + ">";
}
