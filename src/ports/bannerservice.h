#pragma once

#include <functional>
#include <optional>
#include <QString>

// The desktop's notification banners, implemented over org.freedesktop.Notifications in src/platform;
// tests use a fake.
class BannerService {
public:
    // How much a banner may interrupt; the desktop decides what each level looks and sounds like.
    enum class Level { passive, active, timeSensitive, critical };

    struct Banner {
        // The feed item's id: a second banner for the same id replaces the first.
        QString id;
        QString title;
        std::optional<QString> subtitle;
        QString body;
        Level level = Level::active;
        bool sound = false;
        // Groups banners of one source: "p2000", "presence", ...
        QString thread;
        // A PNG file; empty for none.
        QString iconPath;

        bool operator==(const Banner &) const = default;
    };

    struct Handlers {
        // The user clicked one of our banners.
        std::function<void()> activated;
        // A notification server came or went.
        std::function<void(bool present)> serverChanged;
    };

    // Called once with nullopt when the banner was accepted, or with the reason it was not.
    using Done = std::function<void(const std::optional<QString> &error)>;

    virtual ~BannerService() = default;

    // A session bus to reach a notification server over.
    virtual bool hasBus() const = 0;
    // A notification server owns (or would be started for) the bus name.
    virtual bool hasServer() const = 0;
    virtual void setHandlers(Handlers handlers) = 0;
    virtual void post(const Banner &banner, Done done) = 0;
    // Takes down every banner of ours still on screen.
    virtual void closeAll() = 0;
};
