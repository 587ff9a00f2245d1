#pragma once

#include "ports/bannerservice.h"
#include "ports/hotkeygrabber.h"
#include "ports/systemtray.h"

#include <functional>
#include <optional>
#include <QList>

// The desktop's banners as a test scripts them: a bus and a notification server or not, every banner
// kept, a click on one of them raised by hand.
class FakeBanners final : public BannerService {
public:
    bool hasBus() const override { return bus; }
    bool hasServer() const override { return server; }
    void setHandlers(Handlers h) override { handlers = std::move(h); }
    void post(const Banner &banner, Done done) override
    {
        posted << banner;
        if (done)
            done(failure);
    }
    void closeAll() override { ++closed; }

    void click() const
    {
        if (handlers.activated)
            handlers.activated();
    }

    bool bus = true;
    bool server = true;
    // What the server answers to every banner; nullopt: accepted.
    std::optional<QString> failure;
    Handlers handlers;
    QList<Banner> posted;
    int closed = 0;
};

// A desktop where the keys in `held` belong to another program.
class FakeGrabber final : public HotKeyGrabber {
public:
    Availability availability() const override { return available; }
    int grab(const X11KeyGrab &key) override
    {
        if (held.contains(key.keysym))
            return 10;
        grabbed = key;
        return 0;
    }
    void release() override { grabbed.reset(); }
    void setOnPress(std::function<void()> onPress) override { m_onPress = std::move(onPress); }

    // A press of the grabbed combination; nothing when none is grabbed.
    void press() const
    {
        if (grabbed && m_onPress)
            m_onPress();
    }

    Availability available = Availability::ready;
    QList<quint32> held;
    std::optional<X11KeyGrab> grabbed;

private:
    std::function<void()> m_onPress;
};

// A desktop whose tray is there, or comes and goes, as the test says.
class FakeSystemTray final : public SystemTray {
public:
    explicit FakeSystemTray(Kind kind = Kind::none) : present(kind) {}

    Kind kind() const override { return present; }
    void setOnChange(std::function<void()> onChange) override { m_onChange = std::move(onChange); }

    // Now this tray is there (none: it went), and the watch says so.
    void change(Kind kind)
    {
        present = kind;
        if (m_onChange)
            m_onChange();
    }

    Kind present;

private:
    std::function<void()> m_onChange;
};
