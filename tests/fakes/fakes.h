#pragma once
// Fakes of the platform interfaces, recording what the core asks of them.

#include "handlers/snoozard.h"
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

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace bellwick::fakes {

// Every call as one line of text, e.g. "CreateRectRgn(13, 18, 445, 162) -> 2".
class RecordingRegions : public Regions {
public:
    std::vector<std::string> calls;

    Region CreateRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override
    {
        return record("CreateRectRgn", {l, t, r, b});
    }
    Region CreateEllipticRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override
    {
        return record("CreateEllipticRgn", {l, t, r, b});
    }
    Region CreateRoundRectRgn(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, std::int32_t w,
                              std::int32_t h) override
    {
        return record("CreateRoundRectRgn", {l, t, r, b, w, h});
    }
    Region CreatePolygonRgn(const Point* p, int count, FillMode fillMode) override
    {
        std::vector<long long> args;
        for (int i = 0; i < count; ++i) {
            args.push_back(p[i].x);
            args.push_back(p[i].y);
        }
        args.push_back(count);
        args.push_back(static_cast<int>(fillMode));
        return record("CreatePolygonRgn", args);
    }
    int CombineRgn(Region d, Region s1, Region s2, CombineMode mode) override
    {
        calls.push_back(text("CombineRgn", {static_cast<long long>(d), static_cast<long long>(s1),
                                            static_cast<long long>(s2), static_cast<int>(mode)}));
        return 1;
    }
    int SetWindowRgn(WindowHandle w, Region r, int redraw) override
    {
        calls.push_back(text("SetWindowRgn", {static_cast<long long>(w), static_cast<long long>(r), redraw}));
        return 1;
    }

    // The calls that create outlines, without handles.
    std::vector<std::string> outlines() const
    {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind("Create", 0) == 0) out.push_back(c.substr(0, c.find(" ->")));
        return out;
    }

private:
    static std::string text(const char* name, const std::vector<long long>& args)
    {
        std::string s = std::string(name) + "(";
        for (std::size_t i = 0; i < args.size(); ++i)
            s += (i ? ", " : "") + std::to_string(args[i]);
        return s + ")";
    }
    Region record(const char* name, const std::vector<long long>& args)
    {
        const Region handle = ++next_;
        calls.push_back(text(name, args) + " -> " + std::to_string(handle));
        return handle;
    }
    Region next_ = 0;
};

struct Message {
    std::string text, title;
    int style;
    friend bool operator==(const Message&, const Message&) = default;
};

class FakeMessages : public Messages {
public:
    std::vector<Message> shown;
    std::function<void()> whileOpen;  // runs while the message is "open"
    void show(std::string_view text, std::string_view title, int style) override
    {
        shown.push_back({std::string(text), std::string(title), style});
        if (whileOpen) whileOpen();
    }
};

struct ProcessEnded {
    int status;
};

class FakeProcess : public Process {
public:
    [[noreturn]] void end(int status) override { throw ProcessEnded{status}; }
};

class FakeSettingsStore : public SettingsStore {
public:
    std::map<std::string, std::string> entries;  // "app/section/key" -> value
    std::vector<std::string> saves;              // values in order
    std::optional<std::string> failWith;         // save throws SaveError with this reason

    static std::string path(std::string_view a, std::string_view s, std::string_view k)
    {
        return std::string(a) + "/" + std::string(s) + "/" + std::string(k);
    }
    std::string read(std::string_view a, std::string_view s, std::string_view k, std::string_view fallback) override
    {
        auto it = entries.find(path(a, s, k));
        return it == entries.end() ? std::string(fallback) : it->second;
    }
    void save(std::string_view a, std::string_view s, std::string_view k, std::string_view v) override
    {
        if (failWith) throw SaveError(*failWith);
        entries[path(a, s, k)] = std::string(v);
        saves.emplace_back(v);
    }
};

class FakePlayer : public MediaPlayer {
public:
    std::vector<std::string> calls;  // "name:<file>", "play", "loop", "stop"
    std::string fileName;
    std::optional<std::string> failPlayWith, failLoopWith;
    std::function<void()> onPlay;
    void setFileName(const std::string& name) override
    {
        fileName = name;
        calls.push_back("name:" + name);
    }
    void play() override
    {
        calls.push_back("play");
        if (onPlay) onPlay();
        if (failPlayWith) throw PlayError(*failPlayWith);
    }
    void loop(const Tone&) override
    {
        calls.push_back("loop");
        if (failLoopWith) throw PlayError(*failLoopWith);
    }
    // Not among calls: they come at every tick near and during the alarm.
    void prepare() override { ++prepares; }
    int prepares = 0;
    bool keepRinging() override
    {
        ++keeps;
        return hasOutput;
    }
    void stop() override { calls.push_back("stop"); }
    bool hasOutput = true;
    int keeps = 0;
    int plays() const
    {
        int n = 0;
        for (const auto& c : calls)
            n += c == "play";
        return n;
    }
};

class FakeDialog : public FileDialog {
public:
    std::vector<std::string> calls;
    std::deque<std::optional<std::string>> answers;  // per open: a path, or nullopt for cancel
    std::string current;
    void setTitle(const std::string& t) override { calls.push_back("title:" + t); }
    void setFilter(const std::string& f) override { calls.push_back("filter:" + f); }
    void open() override
    {
        calls.push_back("open");
        if (answers.empty()) return;
        if (answers.front()) current = *answers.front();
        answers.pop_front();
    }
    std::string fileName() const override { return current; }
};

class FakeClock : public Clock {
public:
    DateTime time{{2026, 12, 7}, {12, 0, 0}};
    int millisecond = 2;  // where a tick on phase reads it
    WallTime read() const override { return {time, millisecond}; }
    void set(int y, int mo, int d, int h, int mi, int s) { time = {{y, mo, d}, {h, mi, s}}; }
};

// "HH:MM:SS" or "YYYY-MM-DD HH:MM:SS"; anything else is unreadable.
class FakeTimeText : public TimeText {
public:
    std::string format(const TimeOfDay& t) const override
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
        return buf;
    }
    std::optional<TimeReading> read(std::string_view text) const override
    {
        TimeReading r;
        int consumed = 0;
        const std::string s(text);
        Date d;
        if (std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &d.year, &d.month, &d.day, &r.time.hour, &r.time.minute,
                        &r.time.second, &consumed) == 6 &&
            consumed == static_cast<int>(s.size())) {
            r.date = d;
            return r;
        }
        if (std::sscanf(s.c_str(), "%2d:%2d:%2d%n", &r.time.hour, &r.time.minute, &r.time.second, &consumed) == 3 &&
            consumed == static_cast<int>(s.size()) && r.time.hour < 24 && r.time.minute < 60 && r.time.second < 60)
            return r;
        return std::nullopt;
    }
};

class FakeEventLog : public EventLog {
public:
    std::vector<std::string> events;
    void fired() override { events.push_back("fired"); }
    void failed(std::string_view reason) override { events.push_back("failed: " + std::string(reason)); }
};

// "keepAwake:<reason>", "wakeAt:YYYY-MM-DD HH:MM:SS", "release", "showDisplay".
class FakePower : public Power {
public:
    std::vector<std::string> calls;
    void keepAwake(std::string_view reason) noexcept override { calls.push_back("keepAwake:" + std::string(reason)); }
    void wakeAt(const DateTime& d) noexcept override
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "wakeAt:%04d-%02d-%02d %02d:%02d:%02d", d.date.year, d.date.month, d.date.day,
                      d.time.hour, d.time.minute, d.time.second);
        calls.push_back(buf);
    }
    void release() noexcept override { calls.push_back("release"); }
    void showDisplay() noexcept override { calls.push_back("showDisplay"); }
};

// Records each tick asked for; fire() and setClock() stand for the timer.
class FakeTicker : public Ticker {
public:
    std::vector<int> schedules;  // ms, in order
    void schedule(int ms) override { schedules.push_back(ms); }
    void fire() { fired(); }
    void setClock() { clockWasSet(); }
};

// Everything a Snoozard needs, faked.
struct FakeServices {
    RecordingRegions regions;
    FakeMessages messages;
    FakeProcess process;
    FakeSettingsStore settings;
    FakePlayer player;
    FakeDialog dialog;
    FakeClock clock;
    FakeTimeText timeText;
    FakeEventLog log;
    FakePower power;
    FakeTicker ticker;

    Services services()
    {
        return {regions, messages, process, settings, player, dialog, clock, timeText, log, power, ticker};
    }
};

}  // namespace bellwick::fakes
