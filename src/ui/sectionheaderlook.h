#pragma once

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The small upper-case heading above a group of rows, with an optional trailing text.
struct SectionHeaderLook {
    Q_GADGET
    QML_VALUE_TYPE(sectionHeaderLook)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QString trailing MEMBER trailing CONSTANT)

public:
    // The title is shown in upper case; the trailing text keeps its case.
    static SectionHeaderLook make(const QString &title, const QString &trailing = {});

    QString title;
    QString trailing; // empty: none shown
};
