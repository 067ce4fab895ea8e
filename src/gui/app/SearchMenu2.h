#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class SearchMenu2;
}

namespace kx3 {

/// The miscellaneous search menu: officials, nations, stadiums, cities.
class SearchMenu2 : public QWidget
{
    Q_OBJECT

public:
    explicit SearchMenu2(QWidget *parent = nullptr);
    ~SearchMenu2() override;

    void focusSearch();
    /// "Exit" ends the program; any other caption returns to the editor.
    QString exitCaption() const;
    void setExitCaption(const QString &caption);

Q_SIGNALS:
    void otherMenuRequested();
    void exitRequested();

private:
    std::unique_ptr<Ui::SearchMenu2> mUi;
};

} // namespace kx3
