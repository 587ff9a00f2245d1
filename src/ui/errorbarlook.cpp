#include "ui/errorbarlook.h"

#include "ui/symbolcatalog.h"

using namespace Qt::StringLiterals;

ErrorBarLook ErrorBarLook::make(const QString &title, const QString &recovery, bool canRetry, bool canDismiss)
{
    ErrorBarLook look;
    look.warning = SymbolCatalog::glyph(u"exclamationmark.triangle.fill"_s);
    look.title = title;
    look.recovery = recovery;
    look.canRetry = canRetry;
    look.retryText = u"Opnieuw"_s;
    look.retryCap = KeyCapLook::make(QString(QChar(0x2318)) + u"R"_s);
    look.canDismiss = canDismiss;
    look.cross = SymbolCatalog::glyph(u"xmark"_s);
    look.dismissLabel = u"Melding sluiten"_s;
    look.accessibleName = title + u". "_s + recovery;
    return look;
}
