#pragma once

#include "rules/runtime_error.h"

#include <QString>
#include <QStringView>
#include <exception>
#include <functional>
#include <utility>

class QWidget;

namespace rt {

// Val of a control's text. Only ASCII characters can be part of a number, so the text is read
// without converting it to UTF-8.
double Val(QStringView text);

// Reports a runtime error to the user and returns. By default a German message box over the
// parent; tests install a handler instead, so no modal dialog blocks them.
class ErrorReporter {
public:
    using Handler = std::function<void(const RuntimeError &, const QString &detail)>;

    explicit ErrorReporter(QWidget *parent = nullptr) : parent_(parent) {}
    void setHandler(Handler h) { handler_ = std::move(h); }
    // `then` runs once the user has closed the report (at once with a handler): what follows a
    // report waits for it, in the browser too, where the report returns while it shows.
    void report(const RuntimeError &error, const QString &detail, const std::function<void()> &then = {}) const;

    // The boundary of an event procedure: runs it, and reports an error that escapes it (a
    // runtime error, a lack of memory as error 7, anything else as error 51), so that the program
    // goes on with the next event instead of ending. Nothing may escape into Qt's event loop.
    // A template, so that the procedure is a plain call.
    template <class Procedure>
    void guard(Procedure &&procedure) const
    {
        try {
            std::forward<Procedure>(procedure)();
        } catch (...) {
            reportEscaped(std::current_exception());
        }
    }

private:
    void reportEscaped(std::exception_ptr escaped) const;

    QWidget *parent_;
    Handler handler_;
};

// The size of the whole screen in twips; tests may give one of their own.
struct ScreenSize {
    float width = 0;
    float height = 0;
};
ScreenSize PrimaryScreenTwips();

} // namespace rt
