#pragma once

#include <QString>

class QWidget;

namespace kx3 {

/// Every message box of the editor goes through this, so that tests can
/// answer them without a modal loop.
class Prompter
{
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;

    /// A message with a single OK button.
    virtual void information(const QString &text) = 0;
    /// A Yes/No confirmation; true means Yes.
    virtual bool question(const QString &text) = 0;
    /// A Yes/No/Cancel confirmation; a dismissed box counts as Cancel.
    virtual Answer questionWithCancel(const QString &text) = 0;
};

/// The real message boxes, captioned with the application title.
class QMessageBoxPrompter : public Prompter
{
public:
    explicit QMessageBoxPrompter(QWidget *parent = nullptr) : mParent(parent) {}

    void information(const QString &text) override;
    bool question(const QString &text) override;
    Answer questionWithCancel(const QString &text) override;

private:
    QWidget *mParent;
};

} // namespace kx3
