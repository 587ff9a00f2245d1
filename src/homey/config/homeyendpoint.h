#pragma once

#include <optional>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUrl>

// Where the hub is: its root URL, its id and its display name.
struct HomeyEndpoint {
    QUrl baseURL{};
    QString homeyID{};
    std::optional<QString> name{};

    // The REST resource at path (URL-encoded path text, e.g. "manager/devices/device/"), under
    // the base URL's own path: http://h/x + manager/a gives http://h/x/api/manager/a.
    // A trailing "/" of path is kept; "%2F" inside an id stays encoded.
    QUrl api(const QString &path) const;
    // ws:// for an http base, wss:// for anything else; path "/socket.io/", the engine query only.
    QUrl socketURL() const;

    QJsonObject toJson() const;
    // Absent when "baseURL" or "homeyID" is missing or not a text, the URL is not a usable base URL, or
    // "name" is neither a text nor null.
    static std::optional<HomeyEndpoint> fromJson(const QJsonValue &json);

    // A base URL as read from a store, the environment or JSON: an absolute http or https URL with a host
    // and without a fragment, else nothing. Every URL it accepts reads back equal from its own text
    // (baseURLText), which a fragment would not: "l/###" came back as "l/#%23%23".
    static std::optional<QUrl> parseBaseURL(const QString &text);
    // The text that is stored and sent for a base URL.
    static QString baseURLText(const QUrl &url);

    bool operator==(const HomeyEndpoint &) const = default;
};

size_t qHash(const HomeyEndpoint &endpoint, size_t seed = 0) noexcept;
