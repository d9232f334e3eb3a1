"""The long run behind tools/soak."""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness as h  # noqa: E402


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return next(int(l.split()[1]) for l in f if l.startswith("VmRSS:"))


def main():
    binary, minutes = sys.argv[1], int(sys.argv[2])
    h.BINARY = binary
    case = h.AppTest()
    case.setUp()
    try:
        wav = os.path.join(case.dir, "tone.wav")
        h.make_wav(wav, seconds=1)
        case.write_setting(wav)
        supp = os.path.join(os.path.dirname(__file__), "lsan.supp")
        # Whole stacks, so that the suppressions' function names match.
        lsan = "suppressions=%s:print_suppressions=0:fast_unwind_on_malloc=0" % supp
        case.start({"LSAN_OPTIONS": lsan, "BELLWICK_LEAK_CHECK": "1"})
        samples, alarms, fired = [], 0, 0
        end = time.time() + minutes * 60
        while time.time() < end:
            # re-arm for ten seconds from now
            before = case.fresh_audio()
            case.alarm_in(10)
            case.click(h.CHECK1)
            alarms += 1
            deadline = time.time() + 15
            while time.time() < deadline and h.loudest_sample(case.audio, before) < 1000:
                time.sleep(0.2)
            fired += h.loudest_sample(case.audio, before) >= 1000
            while time.time() < min(end, deadline + 45):
                samples.append((time.time(), rss_kib(case.proc.pid)))
                time.sleep(10)
        assert case.alive(), "bellwick ended during the run"
        case.terminate()
        with open(os.path.join(case.dir, "stderr.txt"), errors="replace") as f:
            leaks = [l for l in f if "LeakSanitizer" in l or "ERROR: AddressSanitizer" in l]
        start = samples[0][0]
        after_first = [r for t, r in samples if t - start >= 60]
        growth = (max(after_first) - min(after_first)) / 1024 if after_first else 0.0
        print("minutes: %d, alarms armed: %d, alarms heard: %d" % (minutes, alarms, fired))
        print("resident memory: first %.1f MiB, last %.1f MiB, spread after the first minute %.2f MiB"
              % (samples[0][1] / 1024, samples[-1][1] / 1024, growth))
        print("sanitizer reports: %d" % len(leaks))
        for l in leaks[:5]:
            print("  " + l.rstrip())
        # AddressSanitizer holds freed memory in quarantine, so resident
        # memory is judged on a build without it.
        sanitized = "/asan/" in binary
        if sanitized:
            print("resident memory not judged: AddressSanitizer's quarantine grows it")
        ok = fired == alarms and (sanitized or growth <= 1.0) and not leaks
        print("soak: " + ("held" if ok else "FAILED"))
        sys.exit(0 if ok else 1)
    finally:
        case.tearDown()


if __name__ == "__main__":
    main()
