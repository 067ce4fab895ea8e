#pragma once

#include <QString>
#include <QStringList>

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
    /// The same with `detail` below it (the box and what it can hold).
    virtual void error(const QString &text, const QString &detail)
    {
        Q_UNUSED(detail)
        error(text);
    }
    /// Something refused for the `problems` found: the message, with the
    /// problems one per line behind a "Show problems" button.
    virtual void problems(const QString &text, const QStringList &problems)
    {
        error(text, problems.join(QLatin1Char('\n')));
    }
    /// A Yes/No confirmation; true means Yes.
    virtual bool question(const QString &text) = 0;
    /// A Yes/No/Cancel confirmation; a dismissed box counts as Cancel.
    virtual Answer questionWithCancel(const QString &text) = 0;

    /// How a question with a button of its own was answered.
    enum class Choice { Yes, No, Extra };
    /// A Yes/No confirmation with `detail` below the question and a third
    /// button captioned `extra` (none when empty); a dismissed box counts as
    /// No. A prompter without one of its own asks the plain question, so the
    /// detail is only ever a help, never the question.
    virtual Choice questionWithExtra(const QString &text, const QString &detail,
                                     const QString &extra)
    {
        Q_UNUSED(detail);
        Q_UNUSED(extra);
        return question(text) ? Choice::Yes : Choice::No;
    }

    /// A file to read, or with `saving` one to write, of the kind `filter`
    /// names ("Patches (*.json)"); a name typed without a suffix gets
    /// `suffix`. Empty when the user chose none, which a prompter without a
    /// file dialog of its own always does.
    virtual QString chooseFile(bool saving, const QString &caption, const QString &filter,
                               const QString &suffix)
    {
        Q_UNUSED(saving);
        Q_UNUSED(caption);
        Q_UNUSED(filter);
        Q_UNUSED(suffix);
        return QString();
    }

    /// A line typed into a box captioned `caption` under `label`, starting
    /// as `initial`; `ok` says whether the user accepted it. A prompter
    /// without an input box of its own is always cancelled.
    virtual QString askText(const QString &caption, const QString &label, const QString &initial,
                            bool *ok)
    {
        Q_UNUSED(caption);
        Q_UNUSED(label);
        Q_UNUSED(initial);
        *ok = false;
        return QString();
    }
};

/// A message as a box shows it: the editor's messages break their lines with
/// a bare carriage return, which a box would not break on.
QString messageBoxText(const QString &text);
/// A list a message box can hold: the first `shown` lines and how many more
/// there are (a patch or an import may change thousands of fields).
QString boxList(const QStringList &lines, int shown);

class Prompter;
/// Asks whether values outside their advised ranges ("Finishing 25 is
/// outside 0 - 20") are stored anyway, as a confirm asks, naming the first
/// twenty of them; true without asking when there are none.
bool storeAnyway(Prompter &prompter, const QStringList &advice);

/// The real message boxes, captioned with the application title.
class QMessageBoxPrompter : public Prompter
{
public:
    explicit QMessageBoxPrompter(QWidget *parent = nullptr) : mParent(parent) {}

    using Prompter::information;
    void information(const QString &text, const QString &detail) override;
    void error(const QString &text) override;
    void error(const QString &text, const QString &detail) override;
    void problems(const QString &text, const QStringList &problems) override;
    bool question(const QString &text) override;
    Answer questionWithCancel(const QString &text) override;
    Choice questionWithExtra(const QString &text, const QString &detail,
                             const QString &extra) override;
    QString chooseFile(bool saving, const QString &caption, const QString &filter,
                       const QString &suffix) override;
    QString askText(const QString &caption, const QString &label, const QString &initial,
                    bool *ok) override;

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
    void error(const QString &text, const QString &detail) override
    {
        mTarget->error(text, detail);
    }
    void problems(const QString &text, const QStringList &problems) override
    {
        mTarget->problems(text, problems);
    }
    bool question(const QString &text) override { return mTarget->question(text); }
    Answer questionWithCancel(const QString &text) override
    {
        return mTarget->questionWithCancel(text);
    }
    Choice questionWithExtra(const QString &text, const QString &detail,
                             const QString &extra) override
    {
        return mTarget->questionWithExtra(text, detail, extra);
    }
    QString chooseFile(bool saving, const QString &caption, const QString &filter,
                       const QString &suffix) override
    {
        return mTarget->chooseFile(saving, caption, filter, suffix);
    }
    QString askText(const QString &caption, const QString &label, const QString &initial,
                    bool *ok) override
    {
        return mTarget->askText(caption, label, initial, ok);
    }

private:
    std::unique_ptr<Prompter> mTarget;
};

} // namespace kx3
