#pragma once
// The main window's behaviour: every handler of Snoozard, over the window
// model and the platform interfaces.

#include "ports/file_dialog.h"
#include "ports/media_player.h"
#include "ports/clock.h"
#include "ports/event_log.h"
#include "ports/messages.h"
#include "ports/power.h"
#include "ports/process.h"
#include "ports/regions.h"
#include "ports/settings_store.h"
#include "ports/ticker.h"
#include "ports/time_text.h"
#include "window/window.h"

#include <cstdint>
#include <optional>
#include <string>

namespace bellwick {

struct Services {
    Regions& regions;
    Messages& messages;
    Process& process;
    SettingsStore& settings;
    MediaPlayer& player;
    FileDialog& dialog;
    Clock& clock;
    TimeText& timeText;
    EventLog& log;
    Power& power;
    Ticker& ticker;
};

inline constexpr const char* kApplication = "KV Bellwick";
inline constexpr const char* kSection = "SoundFile";
inline constexpr const char* kKey = "Sound";
inline constexpr const char* kDefaultSound = "File to play for alarm";
inline constexpr const char* kTitle = "Bellwick";
inline constexpr const char* kTickFailure = "Please make sure the file you have entered is an existing file to play";
inline constexpr const char* kDialogTitle = "Select sound to wake up to";
inline constexpr const char* kDialogFilter = "Sound Resources (*.wav;*.mp3;)|*.wav;*.mp3;|All files|*.*";

// The alarm rings until it is stopped, or for this long when nobody comes:
// one limit for the chosen sound and the built-in tone.
inline constexpr std::int64_t kRingSeconds = 10 * 60;

// Mouse button state bits.
inline constexpr int vbLeftButton = 1;

class Snoozard {
public:
    // Wires the check box's click to check1Click.
    Snoozard(Window& window, Services services);

    Window& window() { return w_; }

    // Start-up, which also starts the ticks, and the two ways out.
    void load();
    void terminate();
    void image3Click();

    // One tick falls just after each wall-clock second, and one within a
    // step of the timer after anything it reads has changed.
    void timer1Tick();
    // Something a tick reads changed outside the model (the clock set, the
    // zone or the locale changed, the system resumed): tick within a step.
    void changed();

    // While a hold lives no tick runs: for a modal box opened outside the
    // tick, which would otherwise let ticks run under it.
    class [[nodiscard]] TickHold {
    public:
        explicit TickHold(Snoozard& s) : s_(s) { ++s_.holds_; }
        // The ticks held back come within a step.
        ~TickHold()
        {
            if (--s_.holds_ == 0) s_.changed();
        }
        TickHold(const TickHold&) = delete;
        TickHold& operator=(const TickHold&) = delete;

    private:
        Snoozard& s_;
    };
    TickHold holdTicks() { return TickHold(*this); }

    // Withdraws the power wishes of an armed alarm; for every way out of
    // the process.
    void releasePower();

    void cmdBrowseClick();
    void txtFileClick();
    void check1Click();

    // x, y in pixels relative to Image1's top-left corner.
    void image1MouseDown(int button, int shift, float x, float y);
    void image1MouseMove(int button, int shift, float x, float y);

    std::string File;
    std::int32_t pstX = 0;
    std::int32_t psty = 0;

private:
    DateTime dueTime(const TimeReading& alarm) const;
    void tick(const DateTime& now);
    void fire(const DateTime& now, Control& check);
    std::string startTone(const DateTime& now);
    void startRinging(const DateTime& now, bool tone);
    void keepRinging(const DateTime& now);
    void stopRinging();
    void saveChoice();
    void failTick(const std::string& reason, Control* check);
    void scheduleTick();
    void showNotice();
    void wishPower();

    Window& w_;
    Services s_;
    std::optional<DateTime> armedAt_;  // the second Check1 last became 1
    std::optional<DateTime> rung_;     // the moment the alarm last rang for
    bool inTick_ = false;              // no tick runs while a tick's message is open
    int holds_ = 0;                    // live TickHolds
    bool saveFailureShown_ = false;
    std::optional<std::string> notice_;  // a message waiting for the tick to end
    bool powerHeld_ = false;             // keepAwake said and not yet released
    std::optional<DateTime> wakeDue_;    // the moment last given to wakeAt
    std::optional<DateTime> lastTick_;   // the clock at the last tick, to see it jump
    bool changed_ = false;               // something a tick reads changed since the last tick
    bool firing_ = false;                // the alarm's untick: its save waits for the sound
    bool savePending_ = false;           // a save put off until the sound has started

    // A sound that rings: the chosen file, or the tone under the tick's
    // message; how long it has rung, as the ticks saw the clock go, and
    // whether its output was lost at the last tick.
    struct Ringing {
        DateTime last;
        bool tone = false;
        std::int64_t seconds = 0;
        bool lost = false;
    };
    std::optional<Ringing> ringing_;
};

}  // namespace bellwick
