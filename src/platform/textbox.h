#pragma once

#include "platform/framepacer.h"

#include <QLineEdit>
#include <QString>

namespace rt {

// A text box whose Text is the value last written, by the program or by the user's editing, and
// raises its change event (textChanged) at once for every write that changes it. While a pacer
// lets the line edit lag, what it shows catches up at the next frame.
//
// Text() and setText() are the Text property. QLineEdit's text() would give what is on show,
// which lags during a search, so it is deleted here: code that means the view says
// QLineEdit::text(). QLineEdit's editing functions (insert(), paste(), typing) work on what is
// shown, which is always current when the user acts, and their changes become the Text at once.
class TextBox : public QLineEdit, public PacedView {
    Q_OBJECT
public:
    explicit TextBox(const QString &text, QWidget *parent = nullptr);

    QString Text() const { return text_; }
    void setText(const QString &text);
    QString text() const = delete;

protected:
    void showValues() override;

private:
    QString text_;
    bool showing_ = false;
};

} // namespace rt
