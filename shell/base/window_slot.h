#pragma once

#include <memory>

// Holds the single instance of a window: loaded on first use, destroyed by unload(),
// loaded afresh on the next use. T's constructor creates the controls with their
// design-time values and then runs the window's Form_Load.
template <typename T> class WindowSlot
{
public:
    T& get()
    {
        if (!window_)
            window_ = std::make_unique<T>();
        return *window_;
    }
    // True while unload() runs, so that a close handler can tell the program's own
    // unload from the user closing the window.
    bool isUnloading() const { return unloading_; }
    T* ifLoaded() const { return window_.get(); }

    // Raises the window's close request (its handler may veto only while the program
    // runs) and then destroys it whatever the handler said: unloading cannot fail.
    void unload()
    {
        if (!window_)
            return;
        unloading_ = true;
        window_->close();
        window_.reset();
        unloading_ = false;
    }

private:
    std::unique_ptr<T> window_;
    bool unloading_ = false;
};

// Gives a window class T its single-instance access: instance() loads it on first use,
// ifLoaded() finds it without loading it, unload() destroys it.
template <typename T> class SingleWindow
{
public:
    static T& instance() { return slot().get(); }
    static T* ifLoaded() { return slot().ifLoaded(); }
    static void unload() { slot().unload(); }

protected:
    // True while unload() runs: the close that comes with it is not the user's.
    static bool isUnloading() { return slot().isUnloading(); }

private:
    static WindowSlot<T>& slot()
    {
        static WindowSlot<T> window;
        return window;
    }
};
