#pragma once
// The real main window on Win32: a borderless popup built from the window
// model. The pictures, the clock and the line are painted on its own
// surface; the text boxes, the check box and the button are child windows.
// It mirrors the model, turns the controls' input into model changes and
// hands the mouse, the text boxes' releases and the system's close to the
// core's InputRouter.

#include "handlers/input_router.h"
#include "handlers/snoozard.h"
#include "win32/dpi.h"
#include "win32/gdi_objects.h"
#include "win32/paint_buffer.h"
#include "win32/surface.h"
#include "win32/win32_accessibility.h"
#include "win32/win_api.h"
#include "window/window.h"

#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace bellwick {

class SnoozardWindow {
public:
    // Runs a handler; a failure that escapes it is the caller's to report.
    using Guard = std::function<void(const std::function<void()>&)>;

    // Creates the window hidden, with its children and pictures, and sets
    // the model's window handle. COM must be initialised on this thread.
    SnoozardWindow(Window& model, Snoozard& handlers, Guard guard);
    ~SnoozardWindow();
    SnoozardWindow(const SnoozardWindow&) = delete;
    SnoozardWindow& operator=(const SnoozardWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The DPI the window is laid out for: its screen's.
    Dpi dpi() const { return dpi_; }
    // Runs after the window was laid out again for a screen of another DPI,
    // where its region must be made again.
    void onDpiChanged(std::function<void(Dpi)> hook) { dpiHook_ = std::move(hook); }

    // Shows the window centred on the work area, focus in the first control
    // of the tab order.
    void start();
    // Runs the message loop until the window is gone; the quit code.
    int run();

    // Runs at the start of every paint, inside the paint's guard; test
    // builds inject faults here.
    void onPaint(std::function<void()> hook) { paintHook_ = std::move(hook); }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK textBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    void build();
    HFONT fontOf(const Control& c) { return gdi_.font(c.font ? c.font : model_.defaultFont); }
    HWND childOf(const Control& c) const;
    Control* controlOf(HWND child) const;
    void mirror(Control& c, Property p);
    void repaint(Control& c);
    void placeFromModel();
    void rescale(Dpi dpi, const RECT& suggested);
    void paint();
    void compose(HDC target, const RECT& area);
    void command(HWND child, int code);
    void mouse(UINT msg, WPARAM wp, LPARAM lp);
    bool keyboard(const MSG& msg);

    Window& model_;
    Snoozard& handlers_;
    Guard guard_;
    Dpi dpi_;
    GdiObjects gdi_;
    PaintBuffer buffer_;
    std::optional<Surface> surface_;
    HWND hwnd_ = nullptr;
    std::map<const Control*, HWND> children_;
    std::function<void()> paintHook_;
    std::function<void(Dpi)> dpiHook_;
    WindowAccessibility accessibility_{model_, [this](const Control& c) { return surface_->rectOf(c); },
                                       [this](const Control& c) { guard_([&] { router_.activated(c); }); }};
    HWND focus_ = nullptr;  // the child to refocus on activation
    InputRouter router_{model_, handlers_};
    bool closing_ = false;
    bool mirroring_ = false;  // a text set from the model, not typed
};

}  // namespace bellwick
