// Something that takes touches; what it does not handle goes on to its
// next responder (a view's is its view controller, else its superview),
// with each touch's location converted to that responder's coordinates.
#pragma once

#include "host/core/Object.h"

namespace host {

class TouchSet;
class Event;

class Responder : public Object {
public:
    virtual Responder* nextResponder() const { return nullptr; }
    virtual void touchesBegan(TouchSet* touches, Event* event);
    virtual void touchesMoved(TouchSet* touches, Event* event);
    virtual void touchesEnded(TouchSet* touches, Event* event);
    virtual void touchesCancelled(TouchSet* touches, Event* event);
};

}  // namespace host
