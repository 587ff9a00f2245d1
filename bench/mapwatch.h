#pragma once

// Watches the X server for top-level windows being mapped: when a window of a program started a moment
// ago appears on screen. Only windows at least minimumSize wide and high count, so a tray icon mapped on
// the way does not stand in for the window the program is started for.
#include <chrono>
#include <optional>
#include <poll.h>
#include <QCoreApplication>
#include <xcb/xcb.h>

class MapWatch {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int minimumSize = 200;

    MapWatch()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_ok = true;
    }
    ~MapWatch() { xcb_disconnect(m_connection); }
    MapWatch(const MapWatch &) = delete;
    MapWatch &operator=(const MapWatch &) = delete;

    bool ok() const { return m_ok; }

    // Forgets what was mapped before.
    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            std::free(event);
    }

    // When the next large enough window was mapped, running Qt's event loop meanwhile (a fake hub may live
    // on it); nothing when none was within the time.
    std::optional<Clock::time_point> nextMap(std::chrono::milliseconds within)
    {
        const Clock::time_point deadline = Clock::now() + within;
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const Clock::time_point at = Clock::now();
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window =
                    mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
                std::free(event);
                if (mapped && largeEnough(window))
                    return at;
            }
            pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&descriptor, 1, 1);
            QCoreApplication::processEvents();
        }
        return std::nullopt;
    }

private:
    bool largeEnough(xcb_window_t window)
    {
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const bool large = geometry && geometry->width >= minimumSize && geometry->height >= minimumSize;
        std::free(geometry);
        return large;
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    bool m_ok = false;
};
