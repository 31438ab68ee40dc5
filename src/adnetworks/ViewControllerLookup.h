// Which view controller presents the Meridian client's modal browser over
// a banner.
#pragma once

namespace host {
class Responder;
class View;
class ViewController;
}  // namespace host

// The view controller that can present over `view`: the first one met
// walking the responder chain from it, through views only.
host::ViewController* firstAvailableUIViewController(const host::View* view);
host::ViewController* traverseResponderChainForUIViewController(const host::Responder* responder);
