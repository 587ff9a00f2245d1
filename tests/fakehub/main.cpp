#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"

#include <cstdio>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
QString defaultHomePath()
{
    const QString besideBinary = QDir(QCoreApplication::applicationDirPath()).filePath(u"demohome.json"_s);
    if (QFileInfo::exists(besideBinary))
        return besideBinary;
    return FakeHub::demoHomePath();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"quorvane-fakehub"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Serves a fake hub's REST interface and realtime socket on 127.0.0.1 from a home in JSON."_s);
    parser.addHelpOption();
    const QCommandLineOption homeOption(u"home"_s, u"The home to serve (JSON)."_s, u"file"_s);
    const QCommandLineOption portOption(u"port"_s, u"Port to listen on; 0 picks a free one."_s, u"n"_s,
                                        u"0"_s);
    const QCommandLineOption tokenOption(u"token"_s, u"Access token to accept instead of the home's."_s,
                                         u"t"_s);
    const QCommandLineOption alsoOption(u"also-accept"_s, u"Another access token to accept (repeatable)."_s,
                                        u"t"_s);
    parser.addOptions({homeOption, portOption, tokenOption, alsoOption});
    parser.process(app);

    bool portOK = false;
    const uint port = parser.value(portOption).toUInt(&portOK);
    if (!portOK || port > 65535) {
        std::fprintf(stderr, "quorvane-fakehub: invalid port %s\n", qPrintable(parser.value(portOption)));
        return 2;
    }

    FakeHub hub;
    // Keeps a program connected to it live; REST writes come back as realtime events.
    FakeRealtime realtime(&hub);
    const QString homePath = parser.isSet(homeOption) ? parser.value(homeOption) : defaultHomePath();
    QString error;
    if (!hub.loadHome(homePath, &error)) {
        std::fprintf(stderr, "quorvane-fakehub: %s\n", qPrintable(error));
        return 1;
    }
    if (parser.isSet(tokenOption))
        hub.setToken(parser.value(tokenOption));
    for (const QString &token : parser.values(alsoOption))
        hub.acceptToken(token);
    if (!hub.listen(quint16(port))) {
        std::fprintf(stderr, "quorvane-fakehub: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("fakehub listening on http://127.0.0.1:%u token %s\n", unsigned(hub.port()),
                hub.token().toUtf8().constData());
    std::fflush(stdout);
    return app.exec();
}
