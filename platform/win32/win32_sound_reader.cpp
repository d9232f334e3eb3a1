#include "win32/win32_sound_reader.h"

#include "win32/utf16.h"
#include "win32/win_api.h"

#include <algorithm>
#include <memory>

namespace bellwick {

namespace {

std::string openProblem(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return openFailureProblem(OpenFailure::Missing);
    case ERROR_DIRECTORY: return openFailureProblem(OpenFailure::PathNotFolder);
    case ERROR_ACCESS_DENIED: return openFailureProblem(OpenFailure::NoPermission);
    case ERROR_FILENAME_EXCED_RANGE: return openFailureProblem(OpenFailure::NameTooLong);
    case ERROR_CANT_RESOLVE_FILENAME: return openFailureProblem(OpenFailure::LinkLoop);
    default: return win32::systemMessage(error);
    }
}

FileKind kindOf(HANDLE file)
{
    switch (GetFileType(file)) {
    case FILE_TYPE_DISK: {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(file, &info)) return FileKind::Other;
        return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    }
    case FILE_TYPE_CHAR: return FileKind::Device;
    case FILE_TYPE_PIPE: return FileKind::Fifo;
    default: return FileKind::Other;
    }
}

}  // namespace

std::unique_ptr<Win32SoundFile> Win32SoundFile::open(const std::wstring& path, std::string& problem)
{
    // A folder is told apart before opening: CreateFileW refuses one with
    // "access denied", which would mislead.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Wine has no attributes for a FIFO ("invalid parameter"); opening
        // it, which does not block there, tells what it is.
        if (const DWORD error = GetLastError(); error != ERROR_INVALID_PARAMETER) {
            problem = openProblem(error);
            return nullptr;
        }
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        problem = fileKindProblem(FileKind::Folder);
        return nullptr;
    }
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        problem = openProblem(GetLastError());
        return nullptr;
    }
    win32::KernelHandle file(opened);
    LARGE_INTEGER size{};
    const FileKind kind = kindOf(file.get());
    if (kind != FileKind::Regular || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        problem = kind != FileKind::Regular ? fileKindProblem(kind) : "the file cannot be examined";
        return nullptr;
    }
    problem.clear();
    return std::unique_ptr<Win32SoundFile>(
        new Win32SoundFile(std::move(file), static_cast<std::uint64_t>(size.QuadPart)));
}

std::vector<std::uint8_t> Win32SoundFile::read(std::uint64_t offset, std::size_t length) const
{
    std::vector<std::uint8_t> out;
    if (offset >= size_) return out;
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset)));
    std::size_t got = 0;
    while (got < out.size()) {
        // The offset goes with each read, so no shared file position is used.
        const std::uint64_t at = offset + got;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - got, 1u << 20));
        DWORD n = 0;
        if (!ReadFile(handle_.get(), out.data() + got, want, &n, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            throw SoundReadError(win32::systemMessage(GetLastError()));
        }
        if (n == 0) break;
        got += n;
    }
    out.resize(got);
    return out;
}

CheckedSoundFile checkSoundFile(const std::wstring& path)
{
    CheckedSoundFile checked;
    checked.file = Win32SoundFile::open(path, checked.check.problem);
    if (checked.file) checked.check = inspectSound(*checked.file);
    return checked;
}

}  // namespace bellwick
