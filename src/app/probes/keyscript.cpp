#include "app/probes/keyscript.h"

#include "app/appdelegate.h"
#include "app/boot.h"
#include "app/palettepanel.h"
#include "app/probes/probes.h"
#include "app/probes/syntheticinput.h"
#include "base/log.h"
#include "store/home/homestore.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace KeyScript {

bool isPictureName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && name != u"."_s && name != u".."_s;
}

QString picturePath(const QStringList &arguments)
{
    const std::optional<QString> name = Boot::value(arguments, u"--shot"_s);
    if (!name || name->startsWith(u"--"_s) || !isPictureName(*name))
        return AppDelegate::snapshotPath();
    return QFileInfo(Log::fileURL()).absolutePath() + u"/"_s + *name + u".png"_s;
}

} // namespace KeyScript

namespace Probes {

namespace {

// The device whose control strip is open, by name; "nee" when none is.
QString openRow(const HomeStore &store)
{
    const std::optional<QString> &deviceID = store.detailDeviceID();
    const auto device = deviceID ? store.devices().constFind(*deviceID) : store.devices().constEnd();
    return device != store.devices().constEnd() ? device->name : u"nee"_s;
}

} // namespace

QCoro::Task<> runKeyScript(std::shared_ptr<ProbeContext> context)
{
    const QStringList keys = Boot::keyScript(context->arguments());
    const bool shot = context->has(u"--shot"_s);
    if (keys.isEmpty() && !shot)
        co_return;
    bool alive = co_await context->waitFor(ProbeContext::Collection::devices, 100);
    if (!alive)
        co_return;
    context->panel()->show();
    alive = co_await context->sleep(400ms);
    if (!alive)
        co_return;

    const std::chrono::milliseconds tempo(Boot::typeTempo(context->arguments()));
    bool allSent = true;
    for (const QString &name : keys) {
        SyntheticInput input(context->panel()->window(), context->has(u"--offscreen"_s));
        const bool sent = input.postCommandKey(name);
        allSent = allSent && sent;
        log(u"--keys: "_s + name + (sent ? u" verstuurd"_s : u" MISLUKT"_s) + u" | regel open="_s +
            openRow(*context->store()));
        // A key that went nowhere does not stop the script.
        alive = co_await context->sleep(tempo);
        if (!alive)
            co_return;
    }

    if (shot) {
        alive = co_await context->sleep(250ms);
        if (!alive)
            co_return;
        const QString path = KeyScript::picturePath(context->arguments());
        // A picture that cannot be written says so in the log itself.
        context->panel()->snapshot(path);
        log(u"--shot: foto geschreven naar "_s + path);
        alive = co_await context->sleep(250ms);
        if (!alive)
            co_return;
    }
    // A key that went nowhere fails the run, so the calling script learns of it.
    if (context->endsAfterReport())
        context->exit(allSent ? 0 : 1);
}

} // namespace Probes
