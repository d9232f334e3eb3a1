#pragma once
// The real main window on fakes of every service, for widget tests: what
// the handlers throw is kept in failures, the status of an ended process
// in ended.

#include "fakes/fakes.h"
#include "qt/qt_regions.h"
#include "qt/snoozard_widget.h"
#include "window/layout.h"

#include <QAccessible>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bellwick::testing_support {

struct WidgetFixture {
    fakes::FakeServices f;
    Window model = makeSnoozardLayout();
    std::unique_ptr<SnoozardWidget> widget;
    QtRegions regions{[this](WindowHandle, const QRegion& r, bool redraw) { widget->applyRegion(r, redraw); }};
    Snoozard s{model, Services{regions, f.messages, f.process, f.settings, f.player, f.dialog, f.clock, f.timeText,
                               f.log, f.power, f.ticker}};
    std::vector<std::string> failures;
    std::optional<int> ended;

    WidgetFixture()
    {
        widget = std::make_unique<SnoozardWidget>(model, s, [this](const std::function<void()>& fn) {
            try {
                fn();
            } catch (const std::exception& e) {
                failures.push_back(e.what());
            } catch (const fakes::ProcessEnded& e) {
                ended = e.status;
            }
        });
        s.load();
    }
    template <typename W>
    W* child(const char* name) const
    {
        return widget->findChild<W*>(QString::fromLatin1(name));
    }
    QAccessibleInterface* accessible(const char* name) const
    {
        return QAccessible::queryAccessibleInterface(child<QWidget>(name));
    }
};

}  // namespace bellwick::testing_support
