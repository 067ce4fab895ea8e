#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>

#include <initializer_list>

class QWidget;

namespace kx3 {

/// Gives the room of a window larger than its design to a panel laid out in
/// absolute positions. Each anchored widget has its edges tied to shares of
/// its parent's growth past the design size, so at the design size every
/// widget stands exactly where the form puts it, and lists side by side can
/// split the extra width without ever overlapping.
class PanelAnchors : public QObject
{
    Q_OBJECT

public:
    /// How far the near and far edge move along one axis, as shares of the
    /// parent's growth.
    struct Span
    {
        double from;
        double to;
    };
    static constexpr Span Fixed{0, 0};
    static constexpr Span Grow{0, 1};
    static constexpr Span Move{1, 1};
    static constexpr Span Centre{0.5, 0.5};
    /// Place `index` of `count` equal shares, for widgets standing in a row
    /// (or a column) that all grow.
    static constexpr Span share(int index, int count)
    {
        return {double(index) / count, double(index + 1) / count};
    }

    struct Edges
    {
        Span horizontal;
        Span vertical;
    };

    /// The panel's present size is its design size.
    explicit PanelAnchors(QWidget *panel);

    /// Anchors the descendants of these object names where they stand now.
    void anchor(std::initializer_list<const char *> names, Edges edges);
    void anchor(QWidget *widget, Edges edges);
    /// For a widget the panel places itself: where it stands at the design
    /// size. It is placed for the present size at once.
    void anchor(QWidget *widget, Edges edges, const QRect &design);

    /// Places every anchored widget for the panel's present size.
    void apply();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Rule
    {
        QRect design;
        Edges edges;
    };
    QSize growth(const QWidget *widget) const;
    QRect place(const Rule &rule, QSize parentGrowth) const;

    QWidget *mPanel;
    QSize mDesign;
    QHash<QWidget *, Rule> mRules;
};

} // namespace kx3
