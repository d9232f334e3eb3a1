#include "shaping/transparent.h"

#include "shaping/rounding.h"

#include <array>
#include <cmath>
#include <exception>
#include <stdexcept>

namespace bellwick {

namespace {

// Runs one step; a failure leaves it without effect. Returns whether it ran.
template <typename F>
bool step(F&& f)
{
    try {
        f();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

struct Box {
    double L, T, W, H;
    double dx() const { return (W - H) / 2; }
    double dy() const { return (H - W) / 2; }
};

class Shaper {
public:
    Shaper(Window& w, Regions& r) : w_(w), r_(r) {}

    void run()
    {
        step([&] { whole_ = r_.CreateRectRgn(0, 0, 0, 0); });
        for (const Control& c : w_.controls)
            control(c);
        step([&] { r_.SetWindowRgn(w_.handle, whole_, -1); });
    }

private:
    double prop(const Control& c, const char* name) const { return w_.property(c, name); }
    Box box(const Control& c) const { return {prop(c, "Left"), prop(c, "Top"), prop(c, "Width"), prop(c, "Height")}; }

    void rect(double l, double t, double r, double b)
    {
        ctl_ = r_.CreateRectRgn(roundToInt32(l), roundToInt32(t), roundToInt32(r), roundToInt32(b));
    }
    void ellipse(double l, double t, double r, double b)
    {
        ctl_ = r_.CreateEllipticRgn(roundToInt32(l), roundToInt32(t), roundToInt32(r), roundToInt32(b));
    }
    void roundRect(double l, double t, double r, double b, double e)
    {
        const std::int32_t ei = roundToInt32(e);
        ctl_ = r_.CreateRoundRectRgn(roundToInt32(l), roundToInt32(t), roundToInt32(r), roundToInt32(b), ei, ei);
    }
    void combine() { r_.CombineRgn(whole_, whole_, ctl_, CombineMode::Xor); }

    void control(const Control& c)
    {
        bool passOver = true;  // a name that cannot be read passes the test
        step([&] {
            const std::string& n = w_.name(c);
            passOver = n == "Check1" || n == "Label1" || n == "Text1";
        });
        if (passOver) return;

        if (c.isLine()) {
            lineBand(c);
        } else if (c.isShape()) {
            step([&] { shapeOutline(c, false); });
            bool hollow = true;  // a BackStyle that cannot be read passes the test
            step([&] { hollow = prop(c, "BackStyle") == 0; });
            if (hollow) {
                step([&] { combine(); });
                step([&] { shapeOutline(c, true); });
            }
        } else {
            step([&] {
                const Box b = box(c);
                rect(b.L, b.T, b.L + b.W, b.T + b.H);
            });
        }

        double width = 0;
        step([&] { width = prop(c, "Width"); });
        if (width != 0 || c.isLine()) step([&] { combine(); });
    }

    void lineBand(const Control& c)
    {
        bool steep = true;  // X1 = X2 or a missing end point: counts as steep
        step([&] {
            const double run = prop(c, "X1") - prop(c, "X2");
            if (run == 0) throw std::domain_error("division by zero");
            steep = std::fabs((prop(c, "Y1") - prop(c, "Y2")) / run) > 1;
        });
        // Corner coordinates, one step each, in the order of the corners.
        struct Corner {
            const char* x;
            double dx;
            const char* y;
            double dy;
        };
        const std::array<Corner, 4> steepBand{
            {{"X1", -1, "Y1", 0}, {"X2", -1, "Y2", 0}, {"X2", 1, "Y2", 0}, {"X1", 1, "Y1", 0}}};
        const std::array<Corner, 4> flatBand{
            {{"X1", 0, "Y1", -1}, {"X2", 0, "Y2", -1}, {"X2", 0, "Y2", 1}, {"X1", 0, "Y1", 1}}};
        const auto& band = steep ? steepBand : flatBand;
        for (std::size_t i = 0; i < band.size(); ++i) {
            step([&] { points_[i].x = roundToInt32(prop(c, band[i].x) + band[i].dx); });
            step([&] { points_[i].y = roundToInt32(prop(c, band[i].y) + band[i].dy); });
        }
        step(
            [&] { ctl_ = r_.CreatePolygonRgn(points_.data(), static_cast<int>(points_.size()), FillMode::Alternate); });
    }

    // The outline, or with inner set the outline one pixel inside it.
    void shapeOutline(const Control& c, bool inner)
    {
        const double kind = prop(c, "Shape");
        const Box b = box(c);
        const double L = b.L, T = b.T, W = b.W, H = b.H, dx = b.dx(), dy = b.dy();
        const double in = inner ? 1 : 0;
        if (kind == 0) {
            rect(L + in, T + in, L + W - in, T + H - in);
        } else if (kind == 1) {
            if (W < H)
                rect(L + in, T + dy + in, L + W - in, T + dy + W - in);
            else
                rect(L + dx + in, T + in, L + dx + H - in, T + H - in);
        } else if (kind == 2) {
            const double e = inner ? -0.5 : 0.5;
            ellipse(L + in, T + in, L + W + e, T + H + e);
        } else if (kind == 3) {
            const double e = inner ? -0.5 : 0.5;
            if (W < H)
                ellipse(L + in, T + dy + in, L + W + e, T + dy + W + e);
            else
                ellipse(L + dx + in, T + in, L + dx + H + e, T + H + e);
        } else if (kind == 4) {
            const double e = inner ? 0 : 1;
            roundRect(L + in, T + in, L + W + e, T + H + e, (W > H ? H : W) / 4);
        } else if (kind == 5) {
            const double e = inner ? 0 : 1;
            if (W > H)
                roundRect(L + dx + in, T + in, L + dx + H + e, T + H + e, H / 4);
            else
                roundRect(L + in, T + dy + in, L + W + e, T + dy + W + e, W / 4);
        }
    }

    Window& w_;
    Regions& r_;
    Region whole_ = 0;
    Region ctl_ = 0;  // kept between controls: a failed outline leaves the last one
    std::array<Point, 4> points_{};
};

}  // namespace

void MakeTransparent(Window& window, Regions& regions, Messages& messages, Process& process)
{
    window.scaleMode = ScaleMode::Pixels;
    if (window.borderStyle != 0) {
        messages.show("Change the borderstyle to 0!", "ACK!", vbCritical);
        process.end(0);
    }
    Shaper(window, regions).run();
}

}  // namespace bellwick
