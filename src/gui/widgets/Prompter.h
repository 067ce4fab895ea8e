#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace kx3 {

/// Every message box of the editor goes through this, so that tests can
/// answer them without a modal loop.
class Prompter
{
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompter() = default;

    /// A message with a single OK button; `detail` (the operating system's
    /// reason, say) is shown below it when not empty.
    virtual void information(const QString &text, const QString &detail) = 0;
    void information(const QString &text) { information(text, QString()); }
    /// A refused input: a message with a warning sign and an OK button.
    virtual void error(const QString &text) = 0;
    /// A Yes/No confirmation; true means Yes.
    virtual bool question(const QString &text) = 0;
    /// A Yes/No/Cancel confirmation; a dismissed box counts as Cancel.
    virtual Answer questionWithCancel(const QString &text) = 0;
};

/// A message as a box shows it: the editor's messages break their lines with
/// a bare carriage return, which a box would not break on.
QString messageBoxText(const QString &text);

/// The real message boxes, captioned with the application title.
class QMessageBoxPrompter : public Prompter
{
public:
    explicit QMessageBoxPrompter(QWidget *parent = nullptr) : mParent(parent) {}

    using Prompter::information;
    void information(const QString &text, const QString &detail) override;
    void error(const QString &text) override;
    bool question(const QString &text) override;
    Answer questionWithCancel(const QString &text) override;

private:
    QWidget *mParent;
};

/// The prompter every screen holds for the window's whole life; the one it
/// passes the boxes on to can be replaced (tests answer with their own), so
/// no screen ever keeps a pointer to a prompter that is gone.
class PrompterHandle : public Prompter
{
public:
    explicit PrompterHandle(std::unique_ptr<Prompter> target) : mTarget(std::move(target)) {}

    void setTarget(std::unique_ptr<Prompter> target) { mTarget = std::move(target); }

    using Prompter::information;
    void information(const QString &text, const QString &detail) override
    {
        mTarget->information(text, detail);
    }
    void error(const QString &text) override { mTarget->error(text); }
    bool question(const QString &text) override { return mTarget->question(text); }
    Answer questionWithCancel(const QString &text) override
    {
        return mTarget->questionWithCancel(text);
    }

private:
    std::unique_ptr<Prompter> mTarget;
};

} // namespace kx3
