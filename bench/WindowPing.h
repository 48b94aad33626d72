#pragma once

// The GUI thread's responsiveness seen from outside: a small X client on a connection and thread of its
// own sends the window manager's _NET_WM_PING to a window every 5 ms and times the echo, which Qt
// sends from the GUI thread to the root window with the StructureNotify mask. A ping unanswered
// at the end counts as late by its whole age. Start and stop on one thread; X displays only.
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unordered_map>
#include <vector>

namespace quillfen::bench {

class WindowPing {
public:
    // Pings `window` (an X window id, QWidget::winId) until stopped; inactive without an X display.
    explicit WindowPing(std::uint32_t window) : m_window(window) {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection)) return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_protocols = atom("WM_PROTOCOLS");
        m_ping = atom("_NET_WM_PING");
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_active = true;
        m_thread = std::thread([this] { run(); });
    }
    ~WindowPing() { stop(); }
    WindowPing(const WindowPing&) = delete;
    WindowPing& operator=(const WindowPing&) = delete;

    bool active() const { return m_active; }

    // Ends the pinging; unanswered pings count by their age.
    void stop() {
        if (m_thread.joinable()) {
            m_stopping = true;
            m_thread.join();
            const auto now = Clock::now();
            for (const auto& [_, sent] : m_outstanding) m_delays.push_back(milliseconds(now - sent));
            m_outstanding.clear();
        }
        if (m_connection) xcb_disconnect(m_connection);
        m_connection = nullptr;
    }

    // The answer delay at fraction p of the sorted pings, in milliseconds; 1 is the longest. After stop.
    double percentile(double p) {
        if (m_delays.empty()) return 0;
        std::sort(m_delays.begin(), m_delays.end());
        return m_delays[static_cast<std::size_t>(p * static_cast<double>(m_delays.size() - 1))];
    }
    std::size_t answered() const { return m_answered; }

private:
    using Clock = std::chrono::steady_clock;

    static double milliseconds(Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    }

    xcb_atom_t atom(const char* name) {
        const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return value;
    }

    void send(std::uint32_t serial) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = m_window;
        event.type = m_protocols;
        event.data.data32[0] = m_ping;
        event.data.data32[1] = serial;  // stands in for the timestamp; Qt echoes it unchanged
        event.data.data32[2] = m_window;
        xcb_send_event(m_connection, 0, m_window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
        m_outstanding.emplace(serial, Clock::now());
    }

    void receive(xcb_generic_event_t* event) {
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return;
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (message->type != m_protocols || message->data.data32[0] != m_ping) return;
        const auto found = m_outstanding.find(message->data.data32[1]);
        if (found == m_outstanding.end()) return;
        m_delays.push_back(milliseconds(Clock::now() - found->second));
        m_outstanding.erase(found);
        ++m_answered;
    }

    void run() {
        std::uint32_t serial = 1;
        auto next = Clock::now();
        pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (!m_stopping && !xcb_connection_has_error(m_connection)) {
            const auto now = Clock::now();
            if (now >= next) {
                send(serial++);
                next += std::chrono::milliseconds(5);
                if (next < now) next = now + std::chrono::milliseconds(5);
            }
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                receive(event);
                std::free(event);
            }
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
            ::poll(&descriptor, 1, static_cast<int>(std::clamp<long long>(wait, 0, 5)));
        }
    }

    std::uint32_t m_window;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_protocols = XCB_ATOM_NONE;
    xcb_atom_t m_ping = XCB_ATOM_NONE;
    bool m_active = false;
    std::atomic<bool> m_stopping = false;
    std::thread m_thread;
    std::unordered_map<std::uint32_t, Clock::time_point> m_outstanding;  // the pinging thread's, until stop
    std::vector<double> m_delays;
    std::size_t m_answered = 0;
};

}  // namespace quillfen::bench
