#include "platform/qt/window_system_check.h"

#include "platform/replay/format.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#ifdef ORVANTA_HAVE_XCB
#include <xcb/xcb.h>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <glob.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

using replay::shownFileName;

// A name from the environment or the command line (a platform, a scale factor) as a
// message quotes it: escaped as the replay reader escapes, and cut.
std::string shownWord(std::string_view word) { return replay::shownText(word, 40); }

// The value of Qt's own option `name` (given as -name or --name), the last one winning
// as in Qt.
std::optional<std::string> qtOption(int argc, char* argv[], std::string_view name)
{
    std::optional<std::string> value;
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--"))
            arg.remove_prefix(1);
        if (arg.size() == name.size() + 1 && arg[0] == '-' && arg.substr(1) == name)
            value = argv[++i];
    }
    return value;
}

bool scaleFactorUsable(std::string& why)
{
    const QByteArray text = qgetenv("QT_SCALE_FACTOR");
    if (text.isEmpty())
        return true;
    bool ok = false;
    const double factor = text.toDouble(&ok);
    if (ok && std::isfinite(factor) && factor > 0)
        return true;
    why = "QT_SCALE_FACTOR must be a number above 0, not '" + shownWord(text.toStdString()) + "'";
    return false;
}

bool xServerUsable(const std::optional<std::string>& displayOption, std::string& why)
{
#ifdef ORVANTA_HAVE_XCB
    const char* variable = std::getenv("DISPLAY");
    const std::string display = displayOption ? *displayOption : variable ? variable : "";
    if (display.empty()) {
        why = "no X display to show the game on (DISPLAY is not set)";
        return false;
    }
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    const int error = xcb_connection_has_error(connection);
    const int screens = error == 0 ? xcb_setup_roots_length(xcb_get_setup(connection)) : 0;
    xcb_disconnect(connection);
    if (error == XCB_CONN_CLOSED_INVALID_SCREEN || (error == 0 && screen >= screens)) {
        why = "the X server at DISPLAY=" + shownFileName(display) + " has no such screen";
        return false;
    }
    if (error != 0) {
        why = "cannot reach the X server at DISPLAY=" + shownFileName(display);
        return false;
    }
    return true;
#else
    (void)displayOption;
    (void)why;
    return true;
#endif
}

#ifdef Q_OS_UNIX
bool waylandServerUsable(std::string& why)
{
    std::string socketPath = qEnvironmentVariable("WAYLAND_DISPLAY", "wayland-0").toStdString();
    if (!socketPath.starts_with('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty()) {
            why = "no Wayland server to show the game on (XDG_RUNTIME_DIR is not set)";
            return false;
        }
        socketPath = runtime.toStdString() + "/" + socketPath;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    bool reachable = socketPath.size() < sizeof address.sun_path;
    if (reachable) {
        socketPath.copy(address.sun_path, socketPath.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        reachable = fd >= 0 &&
                    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0)
            ::close(fd);
    }
    if (!reachable)
        why = "cannot reach a Wayland server at " + shownFileName(socketPath);
    return reachable;
}

bool deviceOpens(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// The frame buffer and the DRM devices that the console platforms draw on.
bool displayDeviceUsable(const std::string& name, const std::string& arguments, std::string& why)
{
    std::string frameBuffer = "/dev/fb0";
    if (const auto at = arguments.find("fb="); at != std::string::npos)
        frameBuffer = arguments.substr(at + 3, arguments.find(':', at) - (at + 3));
    if (deviceOpens(frameBuffer))
        return true;
    if (name != "linuxfb") {
        glob_t cards{};
        bool found = false;
        if (::glob("/dev/dri/card*", 0, nullptr, &cards) == 0)
            for (std::size_t i = 0; i < cards.gl_pathc && !found; ++i)
                found = deviceOpens(cards.gl_pathv[i]);
        ::globfree(&cards);
        if (found)
            return true;
    }
    why = "the Qt platform '" + name + "' finds no display device it can open (" +
          shownFileName(frameBuffer) + (name == "linuxfb" ? "" : ", /dev/dri/card*") + ")";
    return false;
}
#endif

// Whether one entry of a platform list ("name:arguments") can show the game's windows.
bool platformUsable(const std::string& entry, const std::optional<std::string>& displayOption,
                    std::string& why)
{
    const std::string name = entry.substr(0, entry.find(':'));
    const std::string arguments = name.size() < entry.size() ? entry.substr(name.size() + 1) : "";
    if (name == "xcb")
        return xServerUsable(displayOption, why);
    if (name == "offscreen" || name == "minimal") {
        why = "the Qt platform '" + name + "' shows no windows on a screen: the game needs one";
        return false;
    }
#ifdef Q_OS_UNIX
    if (name.starts_with("wayland"))
        return waylandServerUsable(why);
    if (name == "linuxfb" || name == "eglfs" || name == "minimalegl" || name == "vkkhrdisplay")
        return displayDeviceUsable(name, arguments, why);
#endif
    return true; // anything else is left to Qt, under catchPlatformFailure's net
}

// Where the platform list comes from: the last -platform option, or else the variable.
char** platformArgument(int argc, char* argv[])
{
    char** found = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-platform" || arg == "--platform")
            found = &argv[++i];
    }
    return found;
}

// Qt falls back along the list to the next entry that loads: hand it only the entries
// that can show the game, so it never falls back to one that shows nothing.
void offerOnly(const std::string& usable, const std::string& asked, char** argument)
{
    if (usable == asked)
        return;
    static std::string kept;
    kept = usable;
    if (argument)
        *argument = kept.data();
    else
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(kept));
}

// --- The net ---------------------------------------------------------------------------

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<HeldMessage> heldMessages;
QtMessageHandler previousHandler = nullptr;
std::string platformForMessages;

// Qt's own messages may quote an argument or a variable as it came (-style NAME): they
// are shown as the game's own are, keeping the line breaks and tabs that lay them out.
QString shownMessage(const QString& message)
{
    const std::string text = message.toStdString();
    std::string shown;
    std::size_t from = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at] != '\n' && text[at] != '\t')
            continue;
        shown += replay::shownText(std::string_view(text).substr(from, at - from));
        if (at < text.size())
            shown += text[at];
        from = at + 1;
    }
    return QString::fromStdString(shown);
}

void passOnShown(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (previousHandler)
        previousHandler(type, context, shownMessage(message));
}

void holdOrFail(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "orvanta: Qt cannot start its platform '%s'\n",
                     shownWord(platformForMessages).c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (context.category && std::string_view(context.category).starts_with("qt.qpa"))
        heldMessages.push_back({type, context.category, message});
    else
        passOnShown(type, context, message);
}

} // namespace

bool windowSystemUsable(int argc, char* argv[], std::string& why)
{
    if (!scaleFactorUsable(why))
        return false;
    char** argument = platformArgument(argc, argv);
    std::string platforms =
        argument ? *argument : qEnvironmentVariable("QT_QPA_PLATFORM").toStdString();
#ifdef Q_OS_LINUX
    if (platforms.empty()) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            std::fprintf(stderr, "orvanta: running on the Wayland desktop through XWayland\n");
        qputenv("QT_QPA_PLATFORM", "xcb");
        platforms = "xcb";
    }
#endif
    platformForMessages = platforms;
    if (platforms.empty())
        return true; // the system's own platform, as Qt picks it
    const std::optional<std::string> display = qtOption(argc, argv, "display");
    std::string usable;
    for (const QString& entry : QString::fromStdString(platforms).split(';', Qt::SkipEmptyParts)) {
        std::string reason;
        if (platformUsable(entry.trimmed().toStdString(), display, reason))
            usable += (usable.empty() ? "" : ";") + entry.trimmed().toStdString();
        else if (why.empty())
            why = reason;
    }
    if (usable.empty()) {
        if (why.empty())
            why = "no Qt platform named in '" + shownWord(platforms) + "'";
        return false;
    }
    why.clear();
    platformForMessages = usable;
    offerOnly(usable, platforms, argument);
    return true;
}

void catchPlatformFailure() { previousHandler = qInstallMessageHandler(holdOrFail); }

void platformStarted()
{
    qInstallMessageHandler(passOnShown);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages.clear();
}

} // namespace platform
