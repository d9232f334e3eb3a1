// Bellwick: wires the Qt, SDL and POSIX platform layers to the core and
// runs the event loop.

#include "handlers/fatal_report.h"
#include "handlers/snoozard.h"
#include "dbus/dbus_power.h"
#include "posix/local_clock.h"
#include "posix/posix_time_text.h"
#include "qt/cursor_blink.h"
#include "qt/qt_event_log.h"
#include "qt/qt_file_dialog.h"
#include "qt/qt_messages.h"
#include "qt/qt_platform_choice.h"
#include "qt/qt_process.h"
#include "qt/qt_regions.h"
#include "qt/qt_settings_store.h"
#include "qt/qt_ticker.h"
#include "qt/snoozard_widget.h"
#include "qt/termination_signals.h"
#include "sdl/module_player.h"
#include "window/layout.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <string>

int main(int argc, char** argv)
{
    using namespace bellwick;

    const std::string platform = qtPlatformFor([](const char* name) { return std::getenv(name); });
    if (!platform.empty()) setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    // The window never draws with OpenGL: no GL integration to load.
    setenv("QT_XCB_GL_INTEGRATION", "none", 0);
    // The clock repaints a small area each tick. Through shared memory Qt
    // waits for the X server before every paint, a round trip that wakes its
    // event thread and this one again; the 11 KB go over the socket for less.
    setenv("QT_XCB_NO_MITSHM", "1", 0);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bellwick"));
    QApplication::setApplicationVersion(QStringLiteral(BELLWICK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.bellwick.Bellwick"));
    std::setlocale(LC_ALL, "");

    QtMessages messages;
    QtProcess process;
    Window model = makeSnoozardLayout();
    std::unique_ptr<SnoozardWidget> widget;
    QtRegions regions([&](WindowHandle, const QRegion& region, bool redraw) {
        if (widget) widget->applyRegion(region, redraw);
    });
    QtSettingsStore settings;
    ModulePlayer player(ModulePlayer::besideProgram());
    QtFileDialog dialog;
    LocalClock clock;
    PosixTimeText timeText;
    QtEventLog log;
    DBusPower power;
    QtTicker ticker;

    Snoozard snoozard(
        model, Services{regions, messages, process, settings, player, dialog, clock, timeText, log, power, ticker});
    FatalReport fatal(messages, process, snoozard);
    const auto guard = [&](const std::function<void()>& f) { fatal.guard(f); };
    widget = std::make_unique<SnoozardWidget>(model, snoozard, guard);
    // Dialogs and message boxes belong to the main window.
    messages.setParentWindow(widget.get());
    dialog.setParentWindow(widget.get());
    ticker.onTick([&] { guard([&] { snoozard.timer1Tick(); }); });
    ticker.onClockSet([&] { guard([&] { snoozard.changed(); }); });
    TerminationSignals termination([&] { fatal.guard([&] { snoozard.terminate(); }); });

    fatal.guard([&] { snoozard.load(); });
    widget->start();
    CursorBlink blink;
    return app.exec();
}
