#pragma once

#include <limits>
#include <QList>
#include <QPointF>
#include <QQuickItem>
#include <QRectF>
#include <QSizeF>

// A flow layout: children at their ideal size, left to right, a new line when the next child would
// pass the right edge. Lines are neither centred nor justified; a child wider than the layout stands
// alone on its line and is never shrunk.
class WrapLayout : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(double spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)
    Q_PROPERTY(double lineSpacing READ lineSpacing WRITE setLineSpacing NOTIFY lineSpacingChanged)

public:
    static constexpr double unbounded = std::numeric_limits<double>::infinity();

    // The size the children take within maxWidth (unbounded: all on one line).
    static QSizeF measure(const QList<QSizeF> &sizes, double maxWidth, double spacing, double lineSpacing);
    // The top-left corner of each child inside bounds.
    static QList<QPointF> place(const QList<QSizeF> &sizes, const QRectF &bounds, double spacing,
                                double lineSpacing);

    explicit WrapLayout(QQuickItem *parent = nullptr);

    double spacing() const { return m_spacing; }
    void setSpacing(double spacing);
    double lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(double lineSpacing);

Q_SIGNALS:
    void spacingChanged();
    void lineSpacingChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData &data) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void updatePolish() override;

private:
    QList<QQuickItem *> laidOut() const;

    double m_spacing = 6;
    double m_lineSpacing = 6;
};
