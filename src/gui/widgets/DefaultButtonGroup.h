#pragma once

#include <QObject>

#include <vector>

class QLineEdit;
class QPushButton;

namespace kx3 {

/// Search boxes that each have their own search button, possibly on
/// different panels. When a box receives the focus its button becomes the
/// default button and every other button of the group stops being one;
/// Enter in a box then presses the default button.
class DefaultButtonGroup : public QObject
{
    Q_OBJECT

public:
    explicit DefaultButtonGroup(QObject *parent = nullptr);

    void add(QLineEdit *box, QPushButton *button);
    /// Makes `button` the group's only default button.
    void makeDefault(QPushButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void returnPressed();

    struct Entry
    {
        QLineEdit *box;
        QPushButton *button;
    };
    std::vector<Entry> mEntries;
};

} // namespace kx3
