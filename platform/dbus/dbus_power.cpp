#include "dbus/dbus_power.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <cstdio>
#include <exception>
#include <utility>

namespace bellwick {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kLogindService = QStringLiteral("org.freedesktop.login1");

// The portal's Inhibit flag for suspending (idle would be 8: not asked for,
// so the screen may still blank and lock).
constexpr uint kInhibitSuspend = 4;

// Replies come back through the event loop and never hold up the window;
// the portal's service may first have to be started by the bus.
constexpr int kReplyTimeoutMs = 5000;

// D-Bus error names only: their messages vary and are no business of the log.
QString why(const QDBusConnection& bus, const QDBusError& error)
{
    if (!bus.isConnected()) return QStringLiteral("not connected");
    return error.isValid() ? error.name() : QStringLiteral("no answer");
}

}  // namespace

DBusPower::~DBusPower() { release(); }

void DBusPower::keepAwake(std::string_view reason) noexcept
{
    try {
        if (wanted_) release();
        wanted_ = true;
        askPortal(QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size())), ++wish_);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bellwick: cannot keep the computer awake: %s\n", e.what());
    }
}

void DBusPower::release() noexcept
{
    try {
        ++wish_;  // replies still on their way are let go when they come
        wanted_ = false;
        if (!portalRequest_.isEmpty()) closePortalRequest(std::exchange(portalRequest_, QString()));
        lock_ = QDBusUnixFileDescriptor();  // logind's inhibitor ends with the last descriptor
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bellwick: cannot let the computer sleep again: %s\n", e.what());
    }
}

void DBusPower::askPortal(const QString& reason, std::uint64_t wish)
{
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected()) {
        askLogind(reason, wish, QStringLiteral("no session bus"));
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
                                       QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    call << QString() << kInhibitSuspend << QVariantMap{{QStringLiteral("reason"), reason}};
    auto* watcher = new QDBusPendingCallWatcher(session.asyncCall(call, kReplyTimeoutMs), &replies_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &replies_,
                     [this, session, reason, wish](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         const QDBusPendingReply<QDBusObjectPath> reply = *w;
                         if (reply.isError()) {
                             if (current(wish)) askLogind(reason, wish, why(session, reply.error()));
                             return;
                         }
                         const QString path = reply.value().path();
                         if (current(wish))
                             portalRequest_ = path;
                         else
                             closePortalRequest(path);  // released while the call was out
                     });
}

// What logind is asked for: "idle" in "block" mode stops the automatic idle
// action (the machine suspending by itself after a time without input)
// and leaves alone a suspend the user asks for (menu, lid), which "sleep"
// would refuse; "sleep" in "delay" mode would only put suspend off by a
// few seconds.
void DBusPower::askLogind(const QString& reason, std::uint64_t wish, const QString& portalAnswer)
{
    const auto nothing = [this, portalAnswer](const QString& logindAnswer) {
        if (std::exchange(toldNothing_, true)) return;
        std::fprintf(stderr,
                     "bellwick: the computer may sleep while the alarm is set: no desktop portal (%s) and no "
                     "logind (%s) to keep it awake\n",
                     portalAnswer.toUtf8().constData(), logindAnswer.toUtf8().constData());
    };
    QDBusConnection system = QDBusConnection::systemBus();
    if (!system.isConnected()) {
        nothing(QStringLiteral("no system bus"));
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLogindService, QStringLiteral("/org/freedesktop/login1"),
                                       QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("idle") << QStringLiteral("Bellwick") << reason << QStringLiteral("block");
    auto* watcher = new QDBusPendingCallWatcher(system.asyncCall(call, kReplyTimeoutMs), &replies_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &replies_,
                     [this, system, wish, nothing](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                         if (reply.isError()) {
                             if (current(wish)) nothing(why(system, reply.error()));
                             return;
                         }
                         // Dropped at once (closing it) when released meanwhile.
                         if (current(wish)) lock_ = reply.value();
                     });
}

void DBusPower::closePortalRequest(const QString& path)
{
    QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
        kPortalService, path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close")));
}

}  // namespace bellwick
