#include "app/settings.h"

#include "base/appconfiguration.h"

#include <cmath>
#include <limits>
#include <QLocale>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Settings {

namespace {

std::optional<quint32> storedUInt32(const SettingsStore &store, const QString &key)
{
    const std::optional<qint64> value = store.integerValue(key);
    if (!value || *value < 0 || *value > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return quint32(*value);
}

QString number(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace

SettingsStore defaults()
{
    if (AppConfiguration::isolated())
        return SettingsStore(AppConfiguration::service());
    return SettingsStore::standard();
}

HotKeyCombo hotKey(const SettingsStore &store)
{
    // Only our own integers count: anything else under the key is not a combination we wrote.
    const std::optional<quint32> keyCode = storedUInt32(store, hotKeyCodeKey);
    if (!keyCode)
        return HotKeyCombo::standard();
    const HotKeyCombo combo{*keyCode, storedUInt32(store, hotKeyModifiersKey).value_or(0)};
    return combo.hasModifier() ? combo : HotKeyCombo::standard();
}

void setHotKey(const HotKeyCombo &combo, SettingsStore store)
{
    store.setValue(hotKeyCodeKey, qint64(combo.keyCode));
    store.setValue(hotKeyModifiersKey, qint64(combo.modifiers));
}

std::optional<QRectF> panelFrame(const SettingsStore &store)
{
    const std::optional<QString> text = store.stringValue(panelFrameKey);
    const std::optional<QRectF> frame = text ? frameFromText(*text) : std::nullopt;
    if (!frame || frame->width() < minimumPanelWidth || frame->height() < minimumPanelHeight)
        return std::nullopt;
    return frame;
}

void setPanelFrame(const std::optional<QRectF> &frame, SettingsStore store)
{
    if (frame)
        store.setValue(panelFrameKey, frameText(*frame));
    else
        store.remove(panelFrameKey);
}

qint64 bumpLaunchCount(SettingsStore store)
{
    // A hand-edited negative or huge count must neither count backwards nor overflow.
    const qint64 previous = std::max<qint64>(store.integerReading(launchCountKey), 0);
    const qint64 count = previous == std::numeric_limits<qint64>::max() ? previous : previous + 1;
    store.setValue(launchCountKey, count);
    return count;
}

bool noTrayNoticeShown(const SettingsStore &store)
{
    return store.boolReading(noTrayNoticeShownKey);
}

void setNoTrayNoticeShown(SettingsStore store)
{
    store.setValue(noTrayNoticeShownKey, true);
}

QString frameText(const QRectF &frame)
{
    return u"{{"_s + number(frame.x()) + u", "_s + number(frame.y()) + u"}, {"_s + number(frame.width()) +
           u", "_s + number(frame.height()) + u"}}"_s;
}

std::optional<QRectF> frameFromText(const QString &text)
{
    static const QString numberPattern = u"\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*"_s;
    static const QRegularExpression pattern(u"^\\s*\\{\\s*\\{"_s + numberPattern + u","_s + numberPattern +
                                            u"\\}\\s*,\\s*\\{"_s + numberPattern + u","_s + numberPattern +
                                            u"\\}\\s*\\}\\s*$"_s);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = match.captured(i + 1).toDouble(&ok);
        if (!ok || !std::isfinite(values[i]))
            return std::nullopt;
    }
    return QRectF(values[0], values[1], values[2], values[3]);
}

} // namespace Settings
