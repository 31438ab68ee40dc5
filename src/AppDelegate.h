// The application delegate: start-up and the life-cycle callbacks.
#pragma once

#include "AutoPlayer.h"
#include "MyAdClass/AdViewController.h"
#include "RootViewController.h"
#include "host/core/Application.h"
#include "host/core/Ref.h"
#include "host/ui/View.h"

class AppDelegate : public host::Object, public host::ApplicationDelegate {
public:
    void applicationDidFinishLaunching(host::Application* app) override;
    void applicationWillResignActive(host::Application* app) override;
    void applicationDidBecomeActive(host::Application* app) override;
    void applicationDidReceiveMemoryWarning(host::Application* app) override;
    void applicationDidEnterBackground(host::Application* app) override;
    void applicationWillEnterForeground(host::Application* app) override;
    void applicationWillTerminate(host::Application* app) override;
    void applicationSignificantTimeChange(host::Application* app) override;
    void removeStartupFlicker() {}

    host::Window* window() const { return window_; }
    // The advert slot over the GL view; its superview owns it.
    AdViewController* adview() const { return adview_; }
    void setWindow(host::Window* w) { window_ = w; }

protected:
    ~AppDelegate() override;

private:
    // Tilting comes from the built-in player with --autoplay, else from the
    // keyboard or a gamepad.
    void startPlayer();
    void stopPlayer();

    host::Ref<host::Window> window_;
    host::Ref<RootViewController> viewController_;
    host::Ref<AutoPlayer> autoPlayer_;
    AdViewController* adview_ = nullptr;
};
