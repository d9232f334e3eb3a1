#include "handlers/snoozard.h"
#include "fakes/fakes.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace bellwick {
namespace {

using fakes::Message;
using fakes::ProcessEnded;

const std::string kSettingPath = fakes::FakeSettingsStore::path(kApplication, kSection, kKey);

struct Harness {
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w, f.services()};
    std::vector<std::string> events;  // close and repaint, in order with player calls
    int repaints = 0;

    Harness()
    {
        w.onClose = [this] { events.push_back("close"); };
        w.onRepaint = [this](Control& c) {
            if (c.is("Label1")) ++repaints;
        };
    }
    Control& check1() { return w.control("Check1"); }
    Control& c(const char* name) { return w.control(name); }
    void arm() { w.setValue(check1(), 1); }
    void at(const DateTime& t) { f.clock.time = t; }
};

DateTime dt(int d, int h, int m, int s) { return {{2026, 12, d}, {h, m, s}}; }

// --- start-up and shutdown ---

TEST(Load, FirstRunTakesTheDefaultSound)
{
    Harness h;
    h.at(dt(7, 19, 5, 9));
    h.s.load();
    EXPECT_EQ(h.w.scaleMode, ScaleMode::Pixels);
    EXPECT_EQ(h.f.regions.calls.back(), "SetWindowRgn(0, 1, -1)");
    EXPECT_EQ(h.c("Text1").text, "19:05:09");
    EXPECT_EQ(h.c("txtFile").text, "File to play for alarm");
    EXPECT_EQ(h.s.File, "File to play for alarm");
    EXPECT_EQ(h.f.player.calls, (std::vector<std::string>{"name:File to play for alarm"}));
    EXPECT_TRUE(h.f.settings.saves.empty());
}

TEST(Load, StoredValuesAreTakenAsTheyAre)
{
    for (const std::string stored : {"", "/gone/alarm.wav", "/home/me/Müller = [x]; #1.mp3"}) {
        Harness h;
        h.f.settings.entries[kSettingPath] = stored;
        h.s.load();
        EXPECT_EQ(h.c("txtFile").text, stored);
        EXPECT_EQ(h.s.File, stored);
        EXPECT_EQ(h.f.player.calls, (std::vector<std::string>{"name:" + stored}));
    }
}

TEST(Load, BorderedWindowEndsBeforeTheRestOfStartUp)
{
    Harness h;
    h.w.borderStyle = 1;
    EXPECT_THROW(h.s.load(), ProcessEnded);
    EXPECT_EQ(h.c("Text1").text, "Text1");
    EXPECT_TRUE(h.f.player.calls.empty());
}

TEST(Shutdown, TerminateStopsClosesAndEnds)
{
    Harness h;
    h.s.load();
    h.f.player.calls.clear();
    h.f.player.onPlay = nullptr;
    h.w.onClose = [&] { h.f.player.calls.push_back("close"); };
    EXPECT_THROW(h.s.terminate(), ProcessEnded);
    EXPECT_EQ(h.f.player.calls, (std::vector<std::string>{"stop", "close"}));
}

TEST(Shutdown, Image3ClosesAndEndsWithoutStop)
{
    Harness h;
    h.s.load();
    h.f.player.calls.clear();
    EXPECT_THROW(h.s.image3Click(), ProcessEnded);
    EXPECT_EQ(h.events, (std::vector<std::string>{"close"}));
    EXPECT_TRUE(h.f.player.calls.empty());
}

// --- sound choice and arming ---

TEST(Browse, CallsTheDialogInOrderAndTakesTheChoice)
{
    Harness h;
    h.s.load();
    h.f.dialog.answers = {std::string("/snd/a.wav")};
    h.s.cmdBrowseClick();
    EXPECT_EQ(h.f.dialog.calls,
              (std::vector<std::string>{"title:Select sound to wake up to",
                                        "filter:Sound Resources (*.wav;*.mp3;)|*.wav;*.mp3;|All files|*.*", "open"}));
    EXPECT_EQ(h.s.File, "/snd/a.wav");
    EXPECT_EQ(h.c("txtFile").text, "/snd/a.wav");
    // Choosing neither saves nor tells the player.
    EXPECT_TRUE(h.f.settings.saves.empty());
    EXPECT_EQ(h.f.player.fileName, "File to play for alarm");
}

TEST(Browse, CancelOnFirstUseChangesNothing)
{
    Harness h;
    h.s.load();
    h.f.dialog.answers = {std::nullopt};
    h.s.cmdBrowseClick();
    EXPECT_EQ(h.s.File, "File to play for alarm");
    EXPECT_EQ(h.c("txtFile").text, "File to play for alarm");
}

TEST(Browse, CancelAfterAChoiceTakesThatChoiceAgain)
{
    Harness h;
    h.s.load();
    h.f.dialog.answers = {std::string("/snd/a.wav"), std::nullopt};
    h.s.cmdBrowseClick();
    h.w.setText(h.c("txtFile"), "typed by hand");
    h.s.cmdBrowseClick();
    EXPECT_EQ(h.s.File, "/snd/a.wav");
    EXPECT_EQ(h.c("txtFile").text, "/snd/a.wav");
}

TEST(TxtFileClick, SelectsTheWholeTextInCharacters)
{
    const std::pair<std::string, int> cases[] = {
        {"", 0}, {"/a.wav", 6}, {"/Müller/Grüße.mp3", 17}, {"/日本/音.wav", 9}, {"/🔔.wav", 6}};
    for (const auto& [text, length] : cases) {
        Harness h;
        Control& box = h.c("txtFile");
        h.w.setText(box, text);
        box.selStart = 3;
        h.s.txtFileClick();
        EXPECT_EQ(box.selStart, 0) << text;
        EXPECT_EQ(box.selLength, length) << text;
    }
}

TEST(Check1Click, EveryChangeSavesThenHandsFileToThePlayer)
{
    Harness h;
    h.s.load();
    h.f.dialog.answers = {std::string("/snd/a.wav")};
    h.s.cmdBrowseClick();
    for (int value : {1, 0, 1}) {
        h.f.player.calls.clear();
        h.f.player.onPlay = nullptr;
        const std::size_t before = h.f.settings.saves.size();
        h.w.setValue(h.check1(), value);
        EXPECT_EQ(h.f.settings.saves.size(), before + 1);
        EXPECT_EQ(h.f.settings.entries[kSettingPath], "/snd/a.wav");
        EXPECT_EQ(h.f.player.calls, (std::vector<std::string>{"name:/snd/a.wav"}));
    }
}

TEST(Check1Click, FirstRunDefaultIsSavedAsAValue)
{
    Harness h;
    h.s.load();
    h.arm();
    EXPECT_EQ(h.f.settings.entries[kSettingPath], "File to play for alarm");
}

TEST(Check1Click, ChoiceWhileArmedReachesStoreAndPlayerAtTheNextChange)
{
    Harness h;
    h.f.settings.entries[kSettingPath] = "/snd/old.wav";
    h.s.load();
    h.arm();
    h.f.dialog.answers = {std::string("/snd/new.wav")};
    h.s.cmdBrowseClick();
    EXPECT_EQ(h.f.settings.entries[kSettingPath], "/snd/old.wav");
    EXPECT_EQ(h.f.player.fileName, "/snd/old.wav");
    h.w.setValue(h.check1(), 0);
    EXPECT_EQ(h.f.settings.entries[kSettingPath], "/snd/new.wav");
    EXPECT_EQ(h.f.player.fileName, "/snd/new.wav");
}

TEST(Check1Click, FailedSaveIsToldOnceAndTheAlarmStillArms)
{
    Harness h;
    h.s.load();
    h.f.settings.failWith = "cannot write /ro/KV Bellwick.ini: access denied";
    h.s.File = "/snd/a.wav";
    h.arm();
    h.w.setValue(h.check1(), 0);
    h.arm();
    EXPECT_EQ(h.check1().value, 1);
    EXPECT_EQ(h.f.player.fileName, "/snd/a.wav");
    ASSERT_EQ(h.f.messages.shown.size(), 1u);
    EXPECT_EQ(h.f.messages.shown[0].title, "Bellwick");
    EXPECT_NE(h.f.messages.shown[0].text.find("access denied"), std::string::npos);
}

TEST(Check1Click, FailedSaveAtTheAlarmIsToldAfterTheSoundStarts)
{
    Harness h;
    h.at(dt(7, 6, 59, 59));
    h.s.load();
    h.w.setText(h.c("Text1"), "07:00:00");
    h.arm();  // saved fine
    h.f.settings.failWith = "cannot write /full/KV Bellwick.ini: the disk is full";
    std::vector<std::string> playerWhileOpen;
    h.f.messages.whileOpen = [&] { playerWhileOpen = h.f.player.calls; };
    h.at(dt(7, 7, 0, 0));
    h.s.timer1Tick();
    ASSERT_EQ(h.f.messages.shown.size(), 1u);
    EXPECT_NE(h.f.messages.shown[0].text.find("the disk is full"), std::string::npos);
    ASSERT_FALSE(playerWhileOpen.empty());
    EXPECT_EQ(playerWhileOpen.back(), "play");
}

// --- the tick ---

TEST(Tick, UnarmedTicksOnlyRunTheClock)
{
    for (int value : {0, 2}) {
        Harness h;
        h.s.load();
        h.f.settings.entries[kSettingPath] = "x";
        h.w.setValue(h.check1(), value);
        for (int sec = 0; sec < 3; ++sec) {
            h.at(dt(7, 12, 0, sec));
            h.s.timer1Tick();
            h.s.timer1Tick();
            EXPECT_EQ(h.c("Label1").text, "12:00:0" + std::to_string(sec));
        }
        EXPECT_EQ(h.repaints, 6);  // also when the text did not change
        EXPECT_EQ(h.f.player.plays(), 0);
        EXPECT_TRUE(h.f.messages.shown.empty());
    }
}

TEST(Tick, ThePlayerIsMadeReadyInTheMinuteBeforeTheAlarm)
{
    Harness h;
    h.at(dt(7, 6, 0, 0));
    h.s.load();
    h.w.setText(h.c("Text1"), "07:00:00");
    h.arm();
    const struct {
        DateTime tick;
        bool ready;
    } steps[] = {{dt(7, 6, 0, 0), false}, {dt(7, 6, 58, 59), false}, {dt(7, 6, 59, 0), true}, {dt(7, 7, 0, 0), true}};
    for (const auto& step : steps) {
        h.at(step.tick);
        h.s.timer1Tick();
        EXPECT_EQ(h.f.player.prepares > 0, step.ready) << step.tick.time.minute << ":" << step.tick.time.second;
    }
    EXPECT_EQ(h.f.player.plays(), 1);
}

struct AlarmCase {
    const char* what;
    DateTime armed;
    std::string alarm;
    std::vector<DateTime> ticks;
    int firesAt;  // index of the tick that plays; -1 for never
};

class AlarmCases : public testing::TestWithParam<AlarmCase> {};

TEST_P(AlarmCases, FiresOnceAtTheExpectedTick)
{
    const AlarmCase& c = GetParam();
    Harness h;
    h.at(c.armed);
    h.s.load();
    h.w.setText(h.c("Text1"), c.alarm);
    h.arm();
    for (std::size_t i = 0; i < c.ticks.size(); ++i) {
        h.at(c.ticks[i]);
        h.s.timer1Tick();
        const bool fired = c.firesAt >= 0 && static_cast<int>(i) >= c.firesAt;
        EXPECT_EQ(h.f.player.plays(), fired ? 1 : 0) << "tick " << i;
        EXPECT_EQ(h.check1().value, fired ? 0 : 1) << "tick " << i;
    }
    EXPECT_TRUE(h.f.messages.shown.empty());
}

const AlarmCase kAlarmCases[] = {
    {"equal second fires", dt(7, 12, 0, 0), "12:00:00", {dt(7, 12, 0, 0)}, 0},
    {"one second ahead fires on the first tick showing it",
     dt(7, 12, 0, 0),
     "12:00:01",
     {dt(7, 12, 0, 0), dt(7, 12, 0, 0), dt(7, 12, 0, 1), dt(7, 12, 0, 1)},
     2},
    {"armed at 23:00 for 07:00 fires next morning",
     dt(7, 23, 0, 0),
     "07:00:00",
     {dt(7, 23, 0, 0), dt(8, 0, 0, 0), dt(8, 6, 59, 59), dt(8, 7, 0, 0)},
     3},
    {"start-up time a few seconds past means tomorrow",
     dt(7, 12, 0, 5),
     "12:00:00",
     {dt(7, 12, 0, 5), dt(7, 23, 59, 59), dt(8, 11, 59, 59), dt(8, 12, 0, 0)},
     3},
    {"dated alarm fires at its moment",
     dt(7, 12, 0, 0),
     "2026-12-08 07:00:00",
     {dt(7, 12, 0, 0), dt(8, 6, 59, 59), dt(8, 7, 0, 0)},
     2},
    {"dated alarm in the past fires at once", dt(7, 12, 0, 0), "2026-12-01 07:00:00", {dt(7, 12, 0, 0)}, 0},
    {"dated alarm today, earlier, fires at once", dt(7, 12, 0, 0), "2026-12-07 07:00:00", {dt(7, 12, 0, 0)}, 0},
    {"a forward jump over the alarm fires once",
     dt(7, 6, 0, 0),
     "07:00:00",
     {dt(7, 6, 0, 0), dt(7, 6, 59, 58), dt(7, 9, 30, 0), dt(7, 9, 30, 1), dt(8, 7, 0, 0)},
     2},
    {"a backward jump before the alarm waits for it",
     dt(7, 12, 0, 0),
     "12:30:00",
     {dt(7, 12, 0, 0), dt(7, 11, 0, 0), dt(7, 12, 29, 59), dt(7, 12, 30, 0)},
     3},
    {"across the year end",
     {{2026, 12, 31}, {23, 59, 0}},
     "00:00:30",
     {{{2026, 12, 31}, {23, 59, 59}}, {{2027, 1, 1}, {0, 0, 29}}, {{2027, 1, 1}, {0, 0, 30}}},
     2},
};

// Wall-clock readings around daylight-saving changes and clock jumps.
DateTime on(int y, int mo, int d, int h, int mi, int s) { return {{y, mo, d}, {h, mi, s}}; }

const AlarmCase kTimeFaults[] = {
    {"Berlin spring: alarm in the skipped hour fires at 03:00",
     on(2026, 3, 29, 1, 0, 0),
     "02:30:00",
     {on(2026, 3, 29, 1, 59, 59), on(2026, 3, 29, 3, 0, 0), on(2026, 3, 29, 3, 0, 1)},
     1},
    {"Berlin autumn: alarm in the repeated hour fires once",
     on(2026, 10, 25, 1, 0, 0),
     "02:30:00",
     {on(2026, 10, 25, 2, 29, 59), on(2026, 10, 25, 2, 30, 0), on(2026, 10, 25, 2, 59, 59), on(2026, 10, 25, 2, 0, 0),
      on(2026, 10, 25, 2, 30, 0), on(2026, 10, 25, 3, 0, 0)},
     1},
    {"New York spring: alarm in the skipped hour fires at 03:00",
     on(2026, 3, 8, 0, 30, 0),
     "02:15:00",
     {on(2026, 3, 8, 1, 59, 59), on(2026, 3, 8, 3, 0, 0)},
     1},
    {"New York autumn: armed in the repeated hour before the alarm",
     on(2026, 11, 1, 1, 10, 0),
     "01:20:00",
     {on(2026, 11, 1, 1, 19, 59), on(2026, 11, 1, 1, 20, 0), on(2026, 11, 1, 1, 59, 59), on(2026, 11, 1, 1, 0, 0),
      on(2026, 11, 1, 1, 20, 0)},
     1},
    {"suspended for hours over the alarm",
     on(2026, 12, 7, 22, 0, 0),
     "06:30:00",
     {on(2026, 12, 7, 22, 0, 1), on(2026, 12, 8, 9, 12, 44), on(2026, 12, 8, 9, 12, 45)},
     1},
    {"clock set back after firing does not fire again",
     on(2026, 12, 7, 7, 0, 0),
     "07:00:05",
     {on(2026, 12, 7, 7, 0, 5), on(2026, 12, 7, 6, 0, 0), on(2026, 12, 7, 7, 0, 5)},
     0},
};

INSTANTIATE_TEST_SUITE_P(TimeFaults, AlarmCases, testing::ValuesIn(kTimeFaults),
                         [](const testing::TestParamInfo<AlarmCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

INSTANTIATE_TEST_SUITE_P(Table, AlarmCases, testing::ValuesIn(kAlarmCases),
                         [](const testing::TestParamInfo<AlarmCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

// The player is given File before it plays; the store takes File then too,
// but writes it only once the sound has started.
TEST(Tick, BeforePlayThePlayerHoldsFileAndRightAfterTheSettingDoes)
{
    Harness h;
    h.s.load();
    h.arm();
    h.f.dialog.answers = {std::string("/snd/new.wav")};
    h.s.cmdBrowseClick();
    const std::size_t saves = h.f.settings.saves.size();
    bool checked = false;
    h.f.player.onPlay = [&] {
        EXPECT_EQ(h.f.settings.saves.size(), saves) << "the disk came before the sound";
        EXPECT_EQ(h.f.player.fileName, "/snd/new.wav");
        EXPECT_EQ(h.check1().value, 0);
        EXPECT_EQ(h.f.log.events, (std::vector<std::string>{"fired"}));
        checked = true;
    };
    h.s.timer1Tick();
    EXPECT_TRUE(checked);
    EXPECT_EQ(h.f.settings.saves.size(), saves + 1);
    EXPECT_EQ(h.f.settings.entries[kSettingPath], "/snd/new.wav");
}

TEST(Tick, UnreadableAlarmTimeShowsTheMessageUnticksAndTheClockRuns)
{
    for (const char* text : {"", "soon", "25:00:00", "12:00:00 tomorrow"}) {
        Harness h;
        h.s.load();
        h.w.setText(h.c("Text1"), text);
        h.arm();
        h.s.timer1Tick();
        EXPECT_EQ(h.f.messages.shown, (std::vector<Message>{{kTickFailure, "Bellwick", 0}})) << text;
        EXPECT_EQ(h.check1().value, 0);
        EXPECT_EQ(h.f.player.plays(), 0);
        h.at(dt(7, 12, 0, 1));
        h.s.timer1Tick();
        EXPECT_EQ(h.c("Label1").text, "12:00:01");
        EXPECT_EQ(h.f.messages.shown.size(), 1u);
    }
}

struct SilentCase {
    const char* name;
    std::optional<std::string> playError, loopError;
    std::string alarm;  // typed into Text1
    std::vector<std::string> whileOpen, after;  // player calls since arming
    std::string logged;
    int alerts;
};

void PrintTo(const SilentCase& c, std::ostream* os) { *os << c.name; }

class SilentAlarm : public testing::TestWithParam<SilentCase> {};

// The untick gives the player its file again.
const std::string kUntick = std::string("name:") + kDefaultSound;

TEST_P(SilentAlarm, TheToneLoopsUnderTheMessageUntilOk)
{
    const SilentCase& c = GetParam();
    Harness h;
    h.s.load();
    int alerts = 0;
    h.w.onAlert = [&] { ++alerts; };
    h.f.player.failPlayWith = c.playError;
    h.f.player.failLoopWith = c.loopError;
    h.w.setText(h.c("Text1"), c.alarm);
    h.arm();
    const std::size_t armed = h.f.player.calls.size();
    const auto since = [&] { return std::vector<std::string>(h.f.player.calls.begin() + armed, h.f.player.calls.end()); };
    std::vector<std::string> open;
    h.f.messages.whileOpen = [&] { open = since(); };
    h.s.timer1Tick();
    EXPECT_EQ(open, c.whileOpen);
    EXPECT_EQ(since(), c.after);
    EXPECT_EQ(h.f.messages.shown, (std::vector<Message>{{kTickFailure, "Bellwick", 0}}));
    EXPECT_EQ(h.check1().value, 0);
    EXPECT_EQ(h.f.log.events.back(), c.logged);
    EXPECT_EQ(alerts, c.alerts);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SilentAlarm,
    testing::Values(
        SilentCase{"MissingFile", "no such file", {}, "12:00:00",
                   {kUntick, "play", "loop"}, {kUntick, "play", "loop", "stop"},
                   "failed: no such file; the built-in tone played instead", 1},
        SilentCase{"NoDeviceAtAll", "no sound device", "no sound device", "12:00:00",
                   {kUntick, "play", "loop"}, {kUntick, "play", "loop"},
                   "failed: no sound device; nor could the built-in tone play: no sound device", 1},
        // Not a due alarm: the message alone.
        SilentCase{"UnreadableAlarmText", {}, {}, "garbage", {}, {kUntick}, "failed: the alarm time cannot be read", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- ringing ---

DateTime plus(const DateTime& t, std::int64_t seconds)
{
    const std::int64_t all = daysFromCivil(t.date) * 86400 + t.time.seconds() + seconds;
    const std::int64_t days = all >= 0 ? all / 86400 : (all - 86399) / 86400;
    const auto in = static_cast<int>(all - days * 86400);
    return {civilFromDays(days), {in / 3600, in / 60 % 60, in % 60}};
}

std::vector<std::int64_t> steps(int count, std::int64_t seconds) { return std::vector<std::int64_t>(count, seconds); }

std::vector<std::int64_t> operator+(std::vector<std::int64_t> a, const std::vector<std::int64_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct RingCase {
    const char* name;
    bool tone;                        // the file cannot play: the tone rings under the message
    std::vector<std::int64_t> steps;  // the clock's steps between the ticks after the alarm
    int stopsAt;                      // the tick (1-based) that stops it
};

void PrintTo(const RingCase& c, std::ostream* os) { *os << c.name; }

class Ringing : public testing::TestWithParam<RingCase> {};

// Ten minutes of ringing as the ticks saw the clock go; jumps count nothing.
TEST_P(Ringing, StopsByItselfAtTheLimitAndNotBefore)
{
    const RingCase& c = GetParam();
    Harness h;
    h.s.load();
    h.w.setText(h.c("Text1"), "12:00:00");
    if (c.tone) h.f.player.failPlayWith = "no such file";
    int ticks = 0, stoppedAt = 0;
    const auto run = [&] {
        for (const std::int64_t step : c.steps) {
            h.at(plus(h.f.clock.time, step));
            h.s.timer1Tick();
            ++ticks;
            const auto& calls = h.f.player.calls;
            if (!stoppedAt && std::count(calls.begin(), calls.end(), "stop")) stoppedAt = ticks;
        }
    };
    // The tone rings under the message, whose ticks run while it is open.
    if (c.tone) h.f.messages.whileOpen = run;
    h.arm();
    h.s.timer1Tick();
    if (!c.tone) run();
    EXPECT_EQ(stoppedAt, c.stopsAt);
    EXPECT_EQ(std::count(h.f.player.calls.begin(), h.f.player.calls.end(), "stop"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Ringing,
    testing::Values(RingCase{"FileEverySecond", false, steps(700, 1), 600},
                    RingCase{"ToneUnderTheMessage", true, steps(700, 1), 600},
                    RingCase{"SlowTicks", false, steps(130, 5), 120},
                    RingCase{"SleepInTheMiddle", false, steps(300, 1) + steps(1, 7200) + steps(400, 1), 601},
                    RingCase{"ClockSetBack", false, steps(300, 1) + steps(1, -3600) + steps(400, 1), 601},
                    RingCase{"FallBackAnHour", true, steps(300, 1) + steps(1, -3600) + steps(400, 1), 601}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Ringing, SetAlarmStopsItAndNothingStopsItAgain)
{
    Harness h;
    h.s.load();
    h.w.setText(h.c("Text1"), "12:00:00");
    h.arm();
    h.s.timer1Tick();
    ASSERT_EQ(h.f.player.plays(), 1);
    const int keeps = h.f.player.keeps;
    EXPECT_GT(keeps, 0);
    h.arm();  // in the alarm's own second, for tomorrow; the new file name stops the sound
    EXPECT_EQ(h.f.player.calls.back(), "name:" + std::string(kDefaultSound));
    for (int i = 0; i < 700; ++i) {
        h.at(plus(h.f.clock.time, 1));
        h.s.timer1Tick();
    }
    EXPECT_EQ(h.f.player.keeps, keeps) << "rings no more";
    EXPECT_EQ(std::count(h.f.player.calls.begin(), h.f.player.calls.end(), "stop"), 0);
    EXPECT_EQ(h.f.player.plays(), 1);
    EXPECT_EQ(h.check1().value, 1);
}

// The window comes forward as it rings, and again each time its output is lost.
TEST(Ringing, ALostOutputAsksForAttention)
{
    Harness h;
    h.s.load();
    int alerts = 0;
    h.w.onAlert = [&] { ++alerts; };
    h.w.setText(h.c("Text1"), "12:00:00");
    h.arm();
    h.s.timer1Tick();
    EXPECT_EQ(alerts, 1);
    for (const bool output : {false, false, true, false, true}) {
        h.f.player.hasOutput = output;
        h.at(plus(h.f.clock.time, 1));
        h.s.timer1Tick();
    }
    EXPECT_EQ(alerts, 3);
    EXPECT_EQ(h.f.player.plays(), 1);
}

TEST(Tick, NoTickRunsWhileItsMessageIsOpen)
{
    Harness h;
    h.s.load();
    h.w.setText(h.c("Text1"), "garbage");
    h.arm();
    int nested = 0;
    h.f.messages.whileOpen = [&] {
        EXPECT_EQ(h.check1().value, 1);  // unticked only after the message
        for (int i = 0; i < 5; ++i) {
            h.at(dt(7, 12, 0, 10 + i));
            h.s.timer1Tick();
            ++nested;
        }
    };
    h.s.timer1Tick();
    EXPECT_EQ(nested, 5);
    EXPECT_EQ(h.f.messages.shown.size(), 1u);
    EXPECT_EQ(h.c("Label1").text, "12:00:00");
    h.s.timer1Tick();
    EXPECT_EQ(h.c("Label1").text, "12:00:14");
}

// --- dragging ---

struct DragCase {
    const char* what;
    int downButton;
    float downX, downY;
    int moveButton;
    float moveX, moveY;
    double dLeft, dTop;  // twips
    int moves;           // writes of Left and Top
};

class DragCases : public testing::TestWithParam<DragCase> {};

TEST_P(DragCases, MovesTheWindowByTheOffsetInTwips)
{
    const DragCase& c = GetParam();
    Harness h;
    h.s.load();
    h.w.placedAt(1500, 3000);
    int moves = 0;
    h.w.onMove = [&] { ++moves; };
    h.s.image1MouseDown(c.downButton, 0, c.downX, c.downY);
    h.s.image1MouseMove(c.moveButton, 0, c.moveX, c.moveY);
    EXPECT_DOUBLE_EQ(h.w.left(), 1500 + c.dLeft);
    EXPECT_DOUBLE_EQ(h.w.top(), 3000 + c.dTop);
    EXPECT_EQ(moves, c.moves);
}

const DragCase kDragCases[] = {
    {"left button, 30 right and 15 down", 1, 10, 20, 1, 40, 35, 450, 225, 2},
    {"pointer on the grab point writes the same values", 1, 10, 20, 1, 10, 20, 0, 0, 2},
    {"fractional pointer offset", 1, 10, 20, 1, 10.5f, 19.25f, 7.5, -11.25, 2},
    {"no button", 1, 10, 20, 0, 40, 35, 0, 0, 0},
    {"right button", 1, 10, 20, 2, 40, 35, 0, 0, 0},
    {"left and right", 1, 10, 20, 3, 40, 35, 0, 0, 0},
    {"left and middle", 1, 10, 20, 5, 40, 35, 0, 0, 0},
    {"all three", 1, 10, 20, 7, 40, 35, 0, 0, 0},
    {"grab point rounds half to even", 1, 2.5f, 3.5f, 1, 2.5f, 3.5f, 0.5 * 15, -0.5 * 15, 2},
    {"negative grab point", 1, -2.5f, -3.5f, 1, 0, 0, 2 * -15 * -1, 4 * 15, 2},
};

INSTANTIATE_TEST_SUITE_P(Table, DragCases, testing::ValuesIn(kDragCases),
                         [](const testing::TestParamInfo<DragCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(Drag, AnyPressReplacesTheGrabPoint)
{
    Harness h;
    h.s.image1MouseDown(1, 0, 10, 10);
    h.s.image1MouseDown(2, 0, 20.5f, -3.5f);
    EXPECT_EQ(h.s.pstX, 20);
    EXPECT_EQ(h.s.psty, -4);
    h.w.placedAt(0, 0);
    h.s.image1MouseMove(2, 0, 40, 40);
    EXPECT_EQ(h.w.left(), 0);
    h.s.image1MouseMove(1, 0, 20, -4);
    EXPECT_EQ(h.w.left(), -0.0);
    EXPECT_EQ(h.w.top(), 0);
}

TEST(Drag, GrabPointBeyond32BitsFails)
{
    Harness h;
    EXPECT_THROW(h.s.image1MouseDown(1, 0, 3e9f, 0), std::overflow_error);
}

TEST(Drag, InvalidSumFailsBeforeItsAssignment)
{
    const float inf = std::numeric_limits<float>::infinity();
    {
        Harness h;
        h.w.placedAt(inf, 3000);
        int moves = 0;
        h.w.onMove = [&] { ++moves; };
        EXPECT_THROW(h.s.image1MouseMove(1, 0, -inf, 10), std::range_error);
        EXPECT_EQ(moves, 0);
        EXPECT_EQ(h.w.top(), 3000);
    }
    {
        // The horizontal move is made before the vertical one fails.
        Harness h;
        h.w.placedAt(1500, inf);
        EXPECT_THROW(h.s.image1MouseMove(1, 0, 10, -inf), std::range_error);
        EXPECT_EQ(h.w.left(), 1650);
        EXPECT_EQ(h.w.top(), inf);
    }
}

}  // namespace
}  // namespace bellwick
