#include "qt/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bellwick {

namespace {

int fds[2] = {-1, -1};  // self-pipe: the handler writes, the event loop reads

void onSignal(int)
{
    // The interrupted code may be about to read errno.
    const int saved = errno;
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(fds[0], &c, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> handler, QObject* parent)
    : QObject(parent), onSignal_(std::move(handler))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) return;
    notifier_ = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buf[16];
        while (::read(fds[1], buf, sizeof buf) > 0) {}
        if (onSignal_) onSignal_();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        std::signal(sig, SIG_DFL);
    delete notifier_;  // before its descriptor goes
    notifier_ = nullptr;
    for (int& fd : fds) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace bellwick
