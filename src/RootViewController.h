// The view controller that holds the GL view. The game never rotates the
// view: the director turns the drawing to landscape itself.
#pragma once

#include "host/ui/View.h"
#include "host/ui/ViewController.h"

class RootViewController : public host::ViewController {
public:
    bool shouldAutorotateToInterfaceOrientation(int orientation) override { return orientation == 1; }
};
