#pragma once

#include <memory>

// Holds the single instance of a window: loaded on first use, destroyed by unload(),
// loaded afresh on the next use. T's constructor creates the controls with their
// design-time values and then runs the window's Form_Load; then whatever was asked to
// join every new instance to the rest of the program (setJoin) does so.
template <typename T> class WindowSlot
{
public:
    WindowSlot() = default;
    // The process may end from inside the event loop (the toolkit ends it when the
    // display goes away), after the toolkit has torn down what a window needs to close.
    // A window still loaded then goes with the process, unclosed: closing it would
    // crash, and its close handlers are not to run for an end the user did not ask for.
    ~WindowSlot() { leftAtExit_ = window_.release(); }
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;

    T& get()
    {
        if (!window_) {
            window_ = std::make_unique<T>();
            if (join_)
                join_(*window_);
        }
        return *window_;
    }
    void setJoin(void (*join)(T&)) { join_ = join; }
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
    // Keeps the window left at the end reachable, so that a leak check does not count it.
    inline static T* leftAtExit_ = nullptr;
    std::unique_ptr<T> window_;
    void (*join_)(T&) = nullptr;
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
    // Connects every instance loaded from now on, and the one loaded now, to the rest of
    // the program: the windows know nothing of each other, the shell joins them.
    static void joinEachLoadedWith(void (*join)(T&))
    {
        slot().setJoin(join);
        if (T* loaded = ifLoaded())
            join(*loaded);
    }

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
