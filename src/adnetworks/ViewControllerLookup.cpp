#include "adnetworks/ViewControllerLookup.h"

#include "host/ui/View.h"
#include "host/ui/ViewController.h"

host::ViewController* traverseResponderChainForUIViewController(const host::Responder* responder) {
    // A loop rather than the recursion the walk describes: the chain can
    // be as deep as the view tree.
    while (responder) {
        host::Responder* next = responder->nextResponder();
        if (auto* controller = dynamic_cast<host::ViewController*>(next)) return controller;
        if (!dynamic_cast<host::View*>(next)) return nullptr;
        responder = next;
    }
    return nullptr;
}

host::ViewController* firstAvailableUIViewController(const host::View* view) {
    return traverseResponderChainForUIViewController(view);
}
