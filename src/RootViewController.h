// The view controller that holds the GL view. The game never rotates the
// view: the director turns the drawing to landscape itself.
#pragma once

#include "host/View.h"

class RootViewController : public host::ViewController {
public:
    bool shouldAutorotateToInterfaceOrientation(int orientation) override { return orientation == 1; }
};
