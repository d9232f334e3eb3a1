#include "handlers/snoozard.h"

#include "handlers/tick_phase.h"
#include "text/utf16.h"
#include "shaping/rounding.h"
#include "shaping/transparent.h"

#include <cfenv>
#include <stdexcept>

namespace bellwick {

namespace {

// A tick step that cannot go on; the tick turns it into its message.
struct TickError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The floating-point faults the drag arithmetic must not hide.
constexpr int kDragFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Ticks come at least once a second, so the clock moves 0 or 1 s between
// two of them; more, or backwards, is a jump (resume from sleep, the clock
// set, a daylight-saving change). A tick that was merely late only renews
// the same wake moment.
constexpr std::int64_t kJumpSeconds = 2;

// While it rings, a step of the clock up to this long counts in full (a
// tick held up by a slow disk); a longer one is a jump (sleep, the clock
// set, a daylight-saving change) and counts nothing, as does a step back.
constexpr std::int64_t kRingStepSeconds = 60;

// An alarm this close has its player made ready: loading one takes tens of
// milliseconds that must not come between the alarm and its sound.
constexpr std::int64_t kPrepareSeconds = 60;

// A flag that is up for the life of the scope.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
    ~Raised() { flag_ = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
};

void checkDragArithmetic()
{
    if (std::fetestexcept(kDragFaults)) throw std::range_error("floating-point failure while moving the window");
}

// A window coordinate in twips moved by the pointer's offset from the grab
// point, which is in pixels; each step of the sum is checked.
double dragged(double position, float pointer, std::int32_t grab)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    double moved = position + static_cast<double>(pointer) * kTwipsPerPixel;
    checkDragArithmetic();
    moved -= static_cast<double>(grab) * kTwipsPerPixel;
    checkDragArithmetic();
    return moved;
}

}  // namespace

Snoozard::Snoozard(Window& window, Services services) : w_(window), s_(services)
{
    w_.onClick = [this](Control& c) {
        if (c.is("Check1")) check1Click();
    };
    w_.onText = [this](Control& c) {
        if (c.is("Text1")) changed();
    };
}

void Snoozard::load()
{
    MakeTransparent(w_, s_.regions, s_.messages, s_.process);
    w_.setText(w_.control("Text1"), s_.timeText.format(s_.clock.now().time));
    Control& txtFile = w_.control("txtFile");
    w_.setText(txtFile, s_.settings.read(kApplication, kSection, kKey, kDefaultSound));
    File = txtFile.text;
    s_.player.setFileName(File);
    scheduleTick();
}

void Snoozard::changed()
{
    // A tick's own changes (the untick) are read already; it asks for the
    // next tick itself, as does the end of a hold.
    if (inTick_) return;
    changed_ = true;
    if (holds_ == 0) scheduleTick();
}

// Asks for the next tick from a fresh reading: a tick may have waited on a
// message for minutes. A timer of interval 0 is off.
void Snoozard::scheduleTick()
{
    const int interval = w_.control("Timer1").intervalMs;
    if (interval > 0) s_.ticker.schedule(msToNextTick(s_.clock.read().millisecond, interval, changed_));
}

void Snoozard::terminate()
{
    stopRinging();
    releasePower();
    w_.close();
    s_.process.end(0);
}

void Snoozard::image3Click()
{
    releasePower();
    w_.close();
    s_.process.end(0);
}

DateTime Snoozard::dueTime(const TimeReading& alarm) const
{
    if (alarm.date) return {*alarm.date, alarm.time};
    // A time of day stands for its next occurrence at or after arming.
    const DateTime armed = armedAt_ ? *armedAt_ : s_.clock.now();
    DateTime due{armed.date, alarm.time};
    // Armed again in the second it rang, it rings tomorrow.
    if (alarm.time < armed.time || due == rung_) due.date = nextDay(armed.date);
    return due;
}

void Snoozard::timer1Tick()
{
    if (holds_ > 0) return;
    if (inTick_) {
        // Under the tick's message: the tone's limit and output still count.
        keepRinging(s_.clock.now());
        scheduleTick();
        return;
    }
    const Raised inTick(inTick_);

    changed_ = false;
    const DateTime now = s_.clock.now();
    tick(now);
    keepRinging(now);
    // After the sound has started: a message about the save must not hold it.
    showNotice();
    scheduleTick();
}

void Snoozard::tick(const DateTime& now)
{
    Control* check = nullptr;
    try {
        const bool jumped = lastTick_ && (now < *lastTick_ || secondsBetween(now, *lastTick_) > kJumpSeconds);
        lastTick_ = now;
        Control& label = w_.control("Label1");
        w_.setText(label, s_.timeText.format(now.time));
        w_.repaint(label);

        check = &w_.control("Check1");
        if (check->value != 1) return;

        const auto alarm = s_.timeText.read(w_.control("Text1").text);
        if (!alarm) throw TickError("the alarm time cannot be read");
        // The clock as shown, not read a second time.
        const auto shown = s_.timeText.read(label.text);
        if (!shown) throw TickError("the clock text cannot be read back");
        const DateTime current{now.date, shown->time};

        const DateTime due = dueTime(*alarm);
        const std::int64_t ahead = secondsBetween(due, current);
        if (ahead <= kPrepareSeconds) s_.player.prepare();
        if (ahead <= 0) {
            rung_ = due;
            fire(now, *check);
        } else if (powerHeld_ && (jumped || wakeDue_ != due)) {
            // A timer set before a jump, or for an alarm text since changed,
            // is set anew from the due moment.
            s_.power.wakeAt(due);
            wakeDue_ = due;
        }
    } catch (const std::exception& e) {
        failTick(e.what(), check);
    }
}

// Unticks, then plays; the untick's save is written once the sound has
// started, so that no disk stands between the alarm and its sound.
void Snoozard::fire(const DateTime& now, Control& check)
{
    {
        const Raised firing(firing_);
        w_.setValue(check, 0);
    }
    s_.power.showDisplay();
    s_.log.fired();
    std::string failure;
    try {
        s_.player.play();
        startRinging(now, false);
    } catch (const PlayError& e) {
        failure = e.what() + startTone(now);
    }
    if (savePending_) saveChoice();
    if (!failure.empty()) throw TickError(failure);
}

// What the log says of the tone after the reason.
std::string Snoozard::startTone(const DateTime& now)
{
    try {
        s_.player.loop(alarmTone());
        startRinging(now, true);
        return "; the built-in tone played instead";
    } catch (const PlayError& e) {
        w_.alert();
        return std::string("; nor could the built-in tone play: ") + e.what();
    }
}

// The window comes forward, so that what stops the sound is at hand.
void Snoozard::startRinging(const DateTime& now, bool tone)
{
    ringing_ = Ringing{now, tone};
    w_.alert();
}

// At every tick while it rings: the limit, and an output lost meanwhile.
void Snoozard::keepRinging(const DateTime& now)
{
    if (!ringing_) return;
    const std::int64_t step = secondsBetween(now, ringing_->last);
    ringing_->last = now;
    if (step > 0 && step <= kRingStepSeconds) ringing_->seconds += step;
    if (ringing_->seconds >= kRingSeconds) {
        stopRinging();
        return;
    }
    const bool lost = !s_.player.keepRinging();
    // Without sound the window asks for attention, once each time it is lost.
    if (lost && !ringing_->lost) w_.alert();
    ringing_->lost = lost;
}

void Snoozard::stopRinging()
{
    ringing_.reset();
    s_.player.stop();
}

void Snoozard::failTick(const std::string& reason, Control* check)
{
    s_.log.failed(reason);
    // Ticks come while the message is open, and end at once; after each
    // handler the platform may let go of the sound device.
    scheduleTick();
    s_.messages.show(kTickFailure, kTitle, vbOKOnly);
    if (ringing_ && ringing_->tone) stopRinging();
    changed_ = true;  // the clock stood still while the message was open
    if (check) w_.setValue(*check, 0);
}

void Snoozard::cmdBrowseClick()
{
    s_.dialog.setTitle(kDialogTitle);
    s_.dialog.setFilter(kDialogFilter);
    s_.dialog.open();
    if (s_.dialog.fileName().empty()) return;
    File = s_.dialog.fileName();
    w_.setText(w_.control("txtFile"), File);
    changed();
}

void Snoozard::txtFileClick()
{
    Control& txtFile = w_.control("txtFile");
    w_.setSelection(txtFile, 0, static_cast<int>(codePoints(txtFile.text)));
}

void Snoozard::check1Click()
{
    const bool armed = w_.control("Check1").value == 1;
    if (armed) armedAt_ = s_.clock.now();
    // At the alarm the value is taken now and written after the play call.
    if (firing_)
        savePending_ = true;
    else
        saveChoice();
    // A new file name stops the sound.
    ringing_.reset();
    s_.player.setFileName(File);
    // The computer stays awake for an armed alarm, and no longer.
    if (armed && !powerHeld_) wishPower();
    if (!armed) releasePower();
    // Inside a tick the alarm may be about to play: the tick shows it after.
    if (!inTick_) showNotice();
    changed();
}

void Snoozard::saveChoice()
{
    savePending_ = false;
    try {
        s_.settings.save(kApplication, kSection, kKey, File);
    } catch (const SaveError& e) {
        // Not fatal: the alarm still arms with File; say so once per run.
        if (!saveFailureShown_) {
            saveFailureShown_ = true;
            notice_ = std::string("Your choice of sound could not be saved for the next start.\n\n") + e.what();
        }
    }
}

void Snoozard::wishPower()
{
    powerHeld_ = true;
    const std::string& text = w_.control("Text1").text;
    const auto alarm = s_.timeText.read(text);
    if (!alarm) {
        // Not readable (yet): the next tick says so; stay awake until then.
        s_.power.keepAwake(text.empty() ? "Alarm set" : "Alarm set for " + text);
        return;
    }
    const DateTime due = dueTime(*alarm);
    // A dated alarm in the user's own words, a time of day as the clock shows it.
    s_.power.keepAwake("Alarm set for " + (alarm->date ? text : s_.timeText.format(due.time)));
    s_.power.wakeAt(due);
    wakeDue_ = due;
}

void Snoozard::releasePower()
{
    if (!powerHeld_) return;
    powerHeld_ = false;
    wakeDue_.reset();
    s_.power.release();
}

void Snoozard::showNotice()
{
    if (!notice_) return;
    const std::string text = std::move(*notice_);
    notice_.reset();
    s_.messages.show(text, kTitle, vbOKOnly);
    changed_ = true;
}

void Snoozard::image1MouseDown(int /*button*/, int /*shift*/, float x, float y)
{
    pstX = roundToInt32(x);
    psty = roundToInt32(y);
}

void Snoozard::image1MouseMove(int button, int /*shift*/, float x, float y)
{
    if (button != vbLeftButton) return;

    // Horizontal first: Left is written before Top is computed.
    w_.setLeft(dragged(w_.left(), x, pstX));
    w_.setTop(dragged(w_.top(), y, psty));
}

}  // namespace bellwick
