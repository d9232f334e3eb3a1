#pragma once
// What Microsoft Active Accessibility clients (screen readers) are told
// about the main window, from the core's accessible table: the child
// controls get their names and roles from the system's own objects, named
// by dynamic annotation or, where the system cannot annotate, by a proxy
// of ours; the painted clock, badge and banner are simple elements of the
// window's own accessible object.

#include "view/view.h"
#include "win32/win_api.h"
#include "window/window.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace bellwick {

class WindowAccessibility {
public:
    // rectOf tells where a painted control is in the client area; press
    // runs a painted button's default action, called from the message
    // loop, never inside a client's call.
    WindowAccessibility(Window& model, std::function<PixelRect(const Control&)> rectOf,
                        std::function<void(const Control&)> press);
    ~WindowAccessibility();
    WindowAccessibility(const WindowAccessibility&) = delete;
    WindowAccessibility& operator=(const WindowAccessibility&) = delete;

    // Names the child window that shows c.
    void bindChild(HWND child, const Control& c);

    // The answer to the window's WM_GETOBJECT: its own object for the
    // client area, 0 for anything the system answers.
    LRESULT getObject(HWND hwnd, WPARAM wp, LPARAM lp);

    // The painted clock's value changed: listening clients are told.
    void valueChanged(const Control& c) const;

    struct Link;  // what objects handed out reach while the window lives
    struct Element {
        const Control* control;
        HWND child;  // nullptr: painted on the window
    };

private:
    static LRESULT CALLBACK childProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    static void CALLBACK pressProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD time);
    void pressLater(const Control& c);
    // The window's accessible children in reading order; a client's child
    // ids are positions in it.
    std::vector<Element> readingOrder() const;

    struct ChildFacts {
        std::wstring name, description;
        long role;
    };

    Window& model_;
    std::function<void(const Control&)> press_;
    const Control* pressed_ = nullptr;  // the control of the press to come
    std::shared_ptr<Link> link_;
    std::vector<HWND> annotated_;
    std::map<HWND, ChildFacts> proxied_;  // children the system could not annotate
    std::map<HWND, const Control*> children_;
    std::vector<Element> order_;  // readingOrder(), made when a client first asks
    HWND hwnd_ = nullptr;
};

}  // namespace bellwick
