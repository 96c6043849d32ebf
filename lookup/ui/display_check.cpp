#include "lookup/ui/display_check.h"

#include "platform/sysutils.h"

#include <QDir>
#include <QLibrary>
#include <QLibraryInfo>
#include <QStringList>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

namespace carlume {

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// The platforms Qt tries, in order: those QT_QPA_PLATFORM lists (separated by ";", each possibly with
// ":options"), else Wayland first in a Wayland session, then X.
std::vector<std::string> CandidatePlatforms()
{
    std::vector<std::string> names;
    const std::string requested = Environment("QT_QPA_PLATFORM");
    if (requested.empty()) {
        if (Environment("XDG_SESSION_TYPE") == "wayland")
            names.emplace_back("wayland");
        names.emplace_back("xcb");
        return names;
    }
    std::size_t start = 0;
    while (start <= requested.size()) {
        const std::size_t end = std::min(requested.find(';', start), requested.size());
        const std::string item = requested.substr(start, end - start);
        const std::string name = item.substr(0, item.find(':'));
        if (!name.empty())
            names.push_back(name);
        start = end + 1;
    }
    return names;
}

// Connects to the X server named by DISPLAY through the same client library Qt's X platform uses.
bool XServerReachable(std::string& why, THeldDisplay* hold)
{
    const std::string display = Environment("DISPLAY");
    if (display.empty()) {
        why = "DISPLAY is not set";
        return false;
    }
    QLibrary xcb(QStringLiteral("xcb"), 1);
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(xcb.resolve("xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(xcb.resolve("xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(xcb.resolve("xcb_disconnect"));
    if (connect == nullptr || hasError == nullptr || disconnect == nullptr) {
        why = "the X client library cannot be loaded";
        return false;
    }
    void* connection = connect(display.c_str(), nullptr);
    const bool ok = connection != nullptr && hasError(connection) == 0;
    // The library stays loaded: QLibrary unloads only when told to.
    if (ok && hold != nullptr)
        hold->Hold(connection, disconnect);
    else if (connection != nullptr)
        disconnect(connection); // a failed connection is still an object to release
    if (!ok)
        why = "cannot connect to the X display \"" + VisibleControls(display) + "\"";
    return ok;
}

bool WaylandReachable(std::string& why)
{
    std::string socket = Environment("WAYLAND_DISPLAY");
    if (socket.empty())
        socket = "wayland-0";
    std::filesystem::path path(socket);
    if (path.is_relative())
        path = std::filesystem::path(Environment("XDG_RUNTIME_DIR")) / path;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        why = "no Wayland socket at \"" + VisibleControls(path.string()) + "\"";
        return false;
    }
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    if (platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty()) {
        why = "Qt's Wayland platform is not installed";
        return false;
    }
    return true;
}

} // namespace

THeldDisplay::~THeldDisplay()
{
    Release();
}

void THeldDisplay::Hold(void* connection, void (*disconnect)(void*))
{
    Release();
    connection_ = connection;
    disconnect_ = disconnect;
}

void THeldDisplay::Release()
{
    if (connection_ != nullptr && disconnect_ != nullptr)
        disconnect_(connection_);
    connection_ = nullptr;
    disconnect_ = nullptr;
}

bool DisplayAvailable(std::string* reason, THeldDisplay* hold)
{
    if (Environment("QT_QPA_PLATFORM").empty() && Environment("DISPLAY").empty() &&
        Environment("WAYLAND_DISPLAY").empty()) {
        if (reason != nullptr)
            *reason = "no display: none of QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY is set";
        return false;
    }
    std::string why;
    for (const std::string& name : CandidatePlatforms()) {
        if (name == "xcb") {
            if (XServerReachable(why, hold))
                return true;
        } else if (name.rfind("wayland", 0) == 0) {
            if (WaylandReachable(why))
                return true;
        } else {
            // offscreen, minimal, vnc, linuxfb, eglfs ...: nothing to connect to in advance.
            return true;
        }
    }
    if (reason != nullptr)
        *reason = "no display: " + why;
    return false;
}

} // namespace carlume
