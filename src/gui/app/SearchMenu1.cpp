#include "SearchMenu1.h"
#include "ui_SearchMenu1.h"

namespace kx3 {

SearchMenu1::SearchMenu1(QWidget *parent)
    : QWidget(parent), mUi(std::make_unique<Ui::SearchMenu1>())
{
    mUi->setupUi(this);
    connect(mUi->bnSearchP2, &QPushButton::clicked, this, &SearchMenu1::otherMenuRequested);
    connect(mUi->Exit2, &QPushButton::clicked, this, &SearchMenu1::exitRequested);
}

SearchMenu1::~SearchMenu1() = default;

void SearchMenu1::focusSearch()
{
    mUi->PSearch->setFocus();
}

QString SearchMenu1::exitCaption() const
{
    return mUi->Exit2->text();
}

void SearchMenu1::setExitCaption(const QString &caption)
{
    mUi->Exit2->setText(caption);
}

} // namespace kx3
