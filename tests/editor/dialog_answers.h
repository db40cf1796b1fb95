// Answers the modal dialogs that come up while a test drives the editor, in order, the way a
// teacher would: a button clicked by its text, a dialog looked at, closed or accepted.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

namespace radevir::test {

class DialogAnswers {
  public:
    using Answer = std::function<void(QDialog&)>;

    explicit DialogAnswers(std::vector<Answer> answers) : answers_(std::move(answers)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(10);
    }
    // How many dialogs were answered.
    size_t Answered() const { return next_; }
    // The texts of the dialogs answered (their labels, for message boxes).
    const QStringList& Seen() const { return seen_; }

    static Answer Click(const QString& text) {
        return [text](QDialog& dialog) {
            for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
                if (QString(b->text()).remove('&') == text) {
                    b->click();
                    return;
                }
            }
            dialog.reject();  // a button that is not there: the test sees the missing answer
        };
    }
    static Answer Reject() {
        return [](QDialog& dialog) { dialog.reject(); };
    }
    // Looks at the dialog, then answers it.
    static Answer Inspect(std::function<void(QDialog&)> look, Answer then) {
        return [look = std::move(look), then = std::move(then)](QDialog& dialog) {
            look(dialog);
            then(dialog);
        };
    }

  private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == last_ || !dialog->isVisible() ||
            next_ >= answers_.size())
            return;
        last_ = dialog;
        QString text = dialog->property("text").toString();
        seen_ << (text.isEmpty() ? dialog->windowTitle() : text);
        const Answer answer = answers_[next_++];
        // answered outside the timer's own call: the answer may open a dialog of its own
        QTimer::singleShot(0, dialog, [dialog, answer] { answer(*dialog); });
    }

    std::vector<Answer> answers_;
    size_t next_ = 0;
    QPointer<QDialog> last_;
    QStringList seen_;
    QTimer timer_;
};

}  // namespace radevir::test
