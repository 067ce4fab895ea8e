#include "SearchMenu2.h"
#include "ui_SearchMenu2.h"

namespace kx3 {

SearchMenu2::SearchMenu2(QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::SearchMenu2>())
{
    mUi->setupUi(this);
    connect(mUi->bnSearchP1, &QPushButton::clicked, this, &SearchMenu2::otherMenuRequested);
    connect(mUi->Exit4, &QPushButton::clicked, this, &SearchMenu2::exitRequested);
}

SearchMenu2::~SearchMenu2() = default;

void SearchMenu2::focusSearch()
{
    mUi->OSearch->setFocus();
}

QString SearchMenu2::exitCaption() const
{
    return mUi->Exit4->text();
}

void SearchMenu2::setExitCaption(const QString &caption)
{
    mUi->Exit4->setText(caption);
}

} // namespace kx3
