#pragma once

#include "ui/announcer.h"
#include "ui/form1.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace support {

// The window as a test opens it: on a screen of 1024 x 768 pixels at 15 twips a pixel, every
// runtime error recorded instead of shown in a box that would wait for a click, shown and exposed.
// The controls are found as a person's tools find them, by their designed names.
class Form1Fixture {
public:
    static constexpr rt::ScreenSize Screen{15360, 11520};

    // Opens a new window in place of the one before, of the designed size unless one is given;
    // false when it never got on the screen.
    [[nodiscard]] bool open(commands::SearchOptions options = {}, rt::ScreenSize screen = Screen, QSize windowSize = {})
    {
        window_ = std::make_unique<ui::Form1>(screen, options);
        if (windowSize.isValid())
            window_->resize(windowSize);
        errors_.clear();
        window_->errorReporter().setHandler(
            [this](const rt::RuntimeError &e, const QString &) { errors_ << e.number(); });
        window_->show();
        return QTest::qWaitForWindowExposed(window_.get());
    }
    void reset() { window_.reset(); }

    ui::Form1 *get() const { return window_.get(); }
    ui::Form1 *operator->() const { return window_.get(); }
    ui::Form1 &operator*() const { return *window_; }

    // The numbers of the runtime errors reported since the window opened or the last clear.
    const QList<int> &errors() const { return errors_; }
    void clearErrors() { errors_.clear(); }

    // The control with this object name; a missing one ends the test with its name.
    template <class T>
    T *control(const char *name) const
    {
        T *w = window_->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("the window has no %s named %s", T::staticMetaObject.className(), name);
        return w;
    }

    QLabel *lblProg() const { return control<QLabel>("lblProg"); }
    QFrame *picContainer() const { return control<QFrame>("picContainer"); }
    rt::Canvas *picGraph() const { return control<rt::Canvas>("picGraph"); }
    rt::ScrollBar *HScroll1() const { return control<rt::ScrollBar>("HScroll1"); }
    QFrame *Frame1() const { return control<QFrame>("Frame1"); }
    QLineEdit *Text2() const { return control<QLineEdit>("Text2"); }
    rt::TextBox *Text1() const { return control<rt::TextBox>("Text1"); }
    rt::ScrollBar *VScroll1() const { return control<rt::ScrollBar>("VScroll1"); }
    QPushButton *Command1() const { return control<QPushButton>("Command1"); }
    QFrame *Line1() const { return control<QFrame>("Line1"); }
    QLabel *Label1() const { return control<QLabel>("Label1"); }
    QPushButton *Command4() const { return control<QPushButton>("Command4"); }
    QPushButton *Command5() const { return control<QPushButton>("Command5"); }
    QPushButton *Command3() const { return control<QPushButton>("Command3"); }
    rt::ListingBox *txtSequenz() const { return control<rt::ListingBox>("txtSequenz"); }
    // Where the window hands a screen reader its results.
    ui::Announcer *announcer() const { return control<ui::Announcer>("announcer"); }

private:
    std::unique_ptr<ui::Form1> window_;
    QList<int> errors_;
};

} // namespace support
