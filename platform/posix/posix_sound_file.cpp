#include "posix/posix_sound_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bellwick {

namespace {

std::string whyNotOpened(int error)
{
    switch (error) {
    case ENOENT: return openFailureProblem(OpenFailure::Missing);
    case ENOTDIR: return openFailureProblem(OpenFailure::PathNotFolder);
    case EACCES:
    case EPERM: return openFailureProblem(OpenFailure::NoPermission);
    case ENAMETOOLONG: return openFailureProblem(OpenFailure::NameTooLong);
    case ELOOP: return openFailureProblem(OpenFailure::LinkLoop);
    default: return std::strerror(error);
    }
}

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Folder;
    if (S_ISFIFO(mode)) return FileKind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
    if (S_ISSOCK(mode)) return FileKind::Socket;
    return FileKind::Other;
}

}  // namespace

PosixSoundFile::PosixSoundFile(const std::string& name)
{
    if (problem_ = soundFileNameProblem(name); !problem_.empty()) return;
    // stat() first, so a device is never opened; O_NONBLOCK and a second
    // look at the open descriptor keep a FIFO swapped in between from
    // blocking or being read.
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        problem_ = whyNotOpened(errno);
        return;
    }
    if (problem_ = fileKindProblem(kindOf(st.st_mode)); !problem_.empty()) return;
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem_ = whyNotOpened(errno);
        return;
    }
    if (::fstat(fd, &st) != 0) {
        problem_ = "it cannot be examined";
    } else {
        problem_ = fileKindProblem(kindOf(st.st_mode));
    }
    if (!problem_.empty()) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
}

PosixSoundFile::~PosixSoundFile()
{
    if (fd_ >= 0) ::close(fd_);
}

int PosixSoundFile::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

std::vector<std::uint8_t> PosixSoundFile::read(std::uint64_t offset, std::size_t length) const
{
    std::vector<std::uint8_t> out;
    if (fd_ < 0) throw SoundReadError("the file is not open");
    if (offset >= size_) return out;
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset)));
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw SoundReadError(std::strerror(errno));
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return out;
}

}  // namespace bellwick
