#include "win32/patched_wav.h"

#include "win32/callback_guard.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace bellwick {

namespace {

struct Served {
    std::shared_ptr<const SoundSource> file;
    std::vector<HeaderPatch> patches;
};

// The files served, by their procedure's code. MCI reads on threads of its
// own; no mmio call is made while the lock is held, since mmio may hold
// locks of its own while it calls the procedure.
std::mutex& servedLock()
{
    static std::mutex lock;
    return lock;
}

std::map<FOURCC, std::shared_ptr<const Served>>& served()
{
    static std::map<FOURCC, std::shared_ptr<const Served>> files;
    return files;
}

std::shared_ptr<const Served> servedAs(FOURCC code)
{
    const std::lock_guard hold(servedLock());
    const auto it = served().find(code);
    return it == served().end() ? nullptr : it->second;
}

LRESULT readInto(MMIOINFO& info, const Served& wav, char* out, LONG length)
{
    if (length < 0) return -1;
    const auto at = static_cast<std::uint64_t>(info.lDiskOffset);
    std::vector<std::uint8_t> bytes;
    try {
        bytes = wav.file->read(at, static_cast<std::size_t>(length));
    } catch (const SoundReadError&) {
        return -1;
    }
    applyPatches(wav.patches, at, bytes);
    std::copy(bytes.begin(), bytes.end(), out);
    info.lDiskOffset += static_cast<LONG>(bytes.size());
    return static_cast<LRESULT>(bytes.size());
}

LRESULT seek(MMIOINFO& info, const Served& wav, LONG offset, LPARAM origin)
{
    std::int64_t base = 0;
    switch (origin) {
    case SEEK_SET: break;
    case SEEK_CUR: base = info.lDiskOffset; break;
    case SEEK_END: base = static_cast<std::int64_t>(wav.file->size()); break;
    default: return -1;
    }
    const std::int64_t to = base + offset;
    if (to < 0 || to > std::numeric_limits<LONG>::max()) return -1;
    info.lDiskOffset = static_cast<LONG>(to);
    return info.lDiskOffset;
}

LRESULT CALLBACK patchedWavProc(LPSTR data, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    return win32::guarded([&]() -> LRESULT {
        MMIOINFO& info = *reinterpret_cast<MMIOINFO*>(data);
        const std::shared_ptr<const Served> wav = servedAs(info.fccIOProc);
        switch (message) {
        case MMIOM_OPEN:
            // Wine sizes the file by a handle in adwInfo[0]: there is none.
            info.adwInfo[0] = 0;
            if (!wav || (info.dwFlags & MMIO_RWMODE) != MMIO_READ || (info.dwFlags & MMIO_CREATE))
                return MMIOERR_CANNOTOPEN;
            info.lDiskOffset = 0;
            return MMSYSERR_NOERROR;
        case MMIOM_CLOSE: return 0;
        case MMIOM_READ:
            return wav ? readInto(info, *wav, reinterpret_cast<char*>(lParam1), static_cast<LONG>(lParam2)) : -1;
        case MMIOM_SEEK: return wav ? seek(info, *wav, static_cast<LONG>(lParam1), lParam2) : -1;
        case MMIOM_WRITE:
        case MMIOM_WRITEFLUSH: return -1;
        default: return 0;
        }
    });
}

}  // namespace

std::unique_ptr<PatchedWav> PatchedWav::serve(std::shared_ptr<const SoundSource> file, std::vector<HeaderPatch> patches)
{
    // mmio's offsets are LONGs.
    if (!file || file->size() > static_cast<std::uint64_t>(std::numeric_limits<LONG>::max())) return nullptr;
    static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    auto wav = std::make_shared<const Served>(Served{std::move(file), std::move(patches)});
    for (const char a : std::string_view(kDigits)) {
        for (const char b : std::string_view(kDigits)) {
            const FOURCC code = mmioFOURCC('B', 'W', a, b);
            {
                const std::lock_guard hold(servedLock());
                if (!served().emplace(code, wav).second) continue;
            }
            // Global: MCI may open the file on a thread of its own.
            if (!mmioInstallIOProcW(code, nullptr, MMIO_FINDPROC) &&
                mmioInstallIOProcW(code, patchedWavProc, MMIO_INSTALLPROC | MMIO_GLOBALPROC))
                return std::unique_ptr<PatchedWav>(
                    new PatchedWav(code, std::wstring(L"bellwick.BW") + wchar_t(a) + wchar_t(b) + L"+alarm"));
            const std::lock_guard hold(servedLock());
            served().erase(code);
        }
    }
    return nullptr;
}

PatchedWav::~PatchedWav()
{
    mmioInstallIOProcW(code_, nullptr, MMIO_REMOVEPROC);
    const std::lock_guard hold(servedLock());
    served().erase(code_);
}

}  // namespace bellwick
