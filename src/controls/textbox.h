#pragma once

#include "controls/framepacer.h"

#include <QLineEdit>
#include <QString>

#include <functional>

namespace rt {

// A text box whose Text is the value last written, by the program or by the user's editing, and
// raises its change event (its change procedure, then textChanged for whoever listens to that)
// at once for every write that changes it. While a pacer lets the line edit lag, what it shows catches up at
// the next frame.
//
// Text() and setText() are the Text property. QLineEdit's text() would give what is on show,
// which lags during a search, so it is deleted here: code that means the view says
// QLineEdit::text(). QLineEdit's editing functions (insert(), paste(), typing) work on what is
// shown, which is always current when the user acts, and their changes become the Text at once.
class TextBox : public QLineEdit, public PacedView {
    Q_OBJECT
public:
    explicit TextBox(const QString &text, QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);
    QString text() const = delete;
    // Text = Str(v). A slice may write many numbers below 1000; the text is made when it is read.
    void setStr(double v);
    // Val(Text); for a number written with setStr, without making its text.
    double Val() const;
    // The change event's procedure, run for every change of Text before textChanged reaches
    // anyone. A plain call: a slice may raise the event for many numbers, and a signal's dispatch
    // would cost more than the rest of the write.
    void setChangeProcedure(std::function<void()> procedure) { changeProcedure_ = std::move(procedure); }

protected:
    void showValues() override;
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;

private:
    // Raises the change event for a write of the program that the line edit does not show yet.
    void raiseChange();
    void runChangeProcedure()
    {
        if (changeProcedure_)
            changeProcedure_();
    }

    std::function<void()> changeProcedure_;
    mutable QString text_;
    // Set while Text is Str(number_) and text_ is still to be made from it.
    mutable bool textPending_ = false;
    // Set while Text is Str(number_): Val gives number_ back.
    bool holdsNumber_ = false;
    double number_ = 0;
    bool showing_ = false;
    // Receivers of textChanged other than the box itself: without any, a write makes no text.
    int textListeners_ = 0;
    bool ownConnection_ = false;
};

} // namespace rt
