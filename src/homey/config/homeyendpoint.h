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
    // Absent when "baseURL" or "homeyID" is missing or not a text, the URL does not parse, or "name"
    // is neither a text nor null.
    static std::optional<HomeyEndpoint> fromJson(const QJsonValue &json);

    bool operator==(const HomeyEndpoint &) const = default;
};

size_t qHash(const HomeyEndpoint &endpoint, size_t seed = 0) noexcept;
