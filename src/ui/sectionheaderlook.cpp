#include "ui/sectionheaderlook.h"

#include "ui/fmt.h"

SectionHeaderLook SectionHeaderLook::make(const QString &title, const QString &trailing)
{
    return {Fmt::nl().toUpper(title), trailing};
}
