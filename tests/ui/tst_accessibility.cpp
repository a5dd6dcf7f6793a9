// What a screen reader meets: what each control offers it for its kind, and the results it is told.
#include "core/analysis_state.h"
#include "support/form1_fixture.h"
#include "support/heard.h"
#include "support/search_oracle.h"
#include "ui/announcer.h"
#include "ui/application.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QScrollBar>
#include <QtTest>

class tst_Accessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup();
    void roles_data();
    void roles();
    void headingReadsItsSentence();
    void captionLabelsTheSearchButton();
    void captionBoxLabelsTheNumberBox();
    void numberBoxAsText_data();
    void numberBoxAsText();
    void summary_data();
    void summary();
    void whatIsAnnounced_data();
    void whatIsAnnounced();
    void searchEnds_data();
    void searchEnds();
    void announcingChangesNothingOnScreen();
    void focusIsVisible_data();
    void focusIsVisible();

private:
    support::Form1Fixture form;
};

void tst_Accessibility::init()
{
    QVERIFY(form.open());
}

void tst_Accessibility::cleanup()
{
    form.reset();
}

void tst_Accessibility::roles_data()
{
    // Each control with the kind it was designed as; the test asks of it what a screen reader
    // needs of that kind.
    QTest::addColumn<QString>("kind");
    QTest::newRow("Form1") << "window";
    QTest::newRow("Frame1") << "frame";
    QTest::newRow("picContainer") << "frame";
    QTest::newRow("Command1") << "button";
    QTest::newRow("Command3") << "button";
    QTest::newRow("Command4") << "button";
    QTest::newRow("Command5") << "button";
    QTest::newRow("Text1") << "text box";
    QTest::newRow("Text2") << "locked text box";
    QTest::newRow("txtSequenz") << "multi-line text box";
    QTest::newRow("VScroll1") << "scroll bar";
    QTest::newRow("HScroll1") << "scroll bar";
    QTest::newRow("listing's scroll bar") << "scroll bar";
    QTest::newRow("picGraph") << "picture";
    QTest::newRow("lblProg") << "label";
    QTest::newRow("Label1") << "label";
    QTest::newRow("Line1") << "line";
}

void tst_Accessibility::roles()
{
    QFETCH(QString, kind);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QWidget *w = name == QLatin1String("Form1")         ? form.get()
        : name == QLatin1String("listing's scroll bar") ? form.txtSequenz()->verticalScrollBar()
                                                        : form->findChild<QWidget *>(name);
    QVERIFY(w);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    QVERIFY(iface);
    const QAccessible::Role role = iface->role();
    QCOMPARE(iface->text(QAccessible::Name), w->accessibleName());
    if (w->focusPolicy() != Qt::NoFocus)
        QVERIFY(iface->state().focusable);
    // Roles a screen reader passes over in silence, or takes for a window of its own.
    const QList<QAccessible::Role> silent = {QAccessible::NoRole, QAccessible::Client, QAccessible::Pane,
                                             QAccessible::Border};
    const QList<QAccessible::Role> windows = {QAccessible::Window, QAccessible::Dialog, QAccessible::Application};

    if (kind == QLatin1String("window")) {
        // The one window: a screen reader drops focus changes inside anything else that claims to
        // be one, since it takes it for an inactive window.
        QCOMPARE(role, QAccessible::Window);
        QList<QAccessibleInterface *> open{iface};
        while (!open.isEmpty()) {
            QAccessibleInterface *parent = open.takeLast();
            for (int i = 0; i < parent->childCount(); ++i) {
                QAccessibleInterface *child = parent->child(i);
                QVERIFY2(!windows.contains(child->role()), qPrintable(child->object()->objectName()));
                open << child;
            }
        }
    } else if (kind == QLatin1String("frame")) {
        // A named group that holds the controls inside it.
        QVERIFY2(!silent.contains(role) && !windows.contains(role), qPrintable(QString::number(role)));
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
        QVERIFY(iface->childCount() > 0);
    } else if (kind == QLatin1String("button")) {
        // Pressable, and pressing it through accessibility is a click.
        QVERIFY(role == QAccessible::Button);
        QAccessibleActionInterface *actions = iface->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QSignalSpy clicks(qobject_cast<QAbstractButton *>(w), &QAbstractButton::clicked);
        actions->doAction(QAccessibleActionInterface::pressAction());
        // Qt shows the press before it clicks.
        QTRY_COMPARE(clicks.count(), 1);
        QVERIFY(finishSearches(form->commands()));
    } else if (kind == QLatin1String("text box")) {
        QCOMPARE(role, QAccessible::EditableText);
        QVERIFY(!iface->state().readOnly);
        QVERIFY(iface->editableTextInterface());
        QCOMPARE(iface->textInterface()->text(0, iface->textInterface()->characterCount()), form.Text1()->Text());
    } else if (kind == QLatin1String("locked text box")) {
        QVERIFY(iface->state().readOnly);
        QVERIFY(!iface->editableTextInterface());
        QCOMPARE(iface->textInterface()->text(0, iface->textInterface()->characterCount()),
                 form.Text2()->displayText());
    } else if (kind == QLatin1String("multi-line text box")) {
        // The listing, read line by line; not locked, so a person may write in it.
        QVERIFY(iface->state().multiLine);
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), form.txtSequenz()->QPlainTextEdit::toPlainText());
        QVERIFY(!iface->state().readOnly);
        QVERIFY(iface->editableTextInterface());
    } else if (kind == QLatin1String("scroll bar")) {
        // Read and set as the number the bar stands for, within the bar's range.
        QCOMPARE(role, QAccessible::ScrollBar);
        QAccessibleValueInterface *value = iface->valueInterface();
        QVERIFY(value);
        int current = 0, low = 0, high = 0;
        if (auto *bar = qobject_cast<rt::ScrollBar *>(w)) {
            current = bar->Value();
            low = std::min(bar->Min(), bar->Max());
            high = std::max(bar->Min(), bar->Max());
        } else {
            auto *plain = qobject_cast<QScrollBar *>(w);
            current = plain->value();
            low = plain->minimum();
            high = plain->maximum();
        }
        QCOMPARE(value->currentValue().toInt(), current);
        QCOMPARE(value->minimumValue().toInt(), low);
        QCOMPARE(value->maximumValue().toInt(), high);
    } else if (kind == QLatin1String("picture")) {
        QVERIFY2(!silent.contains(role) && !windows.contains(role), qPrintable(QString::number(role)));
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
    } else if (kind == QLatin1String("label")) {
        QCOMPARE(role, QAccessible::StaticText);
        QCOMPARE(iface->text(QAccessible::Name), qobject_cast<QLabel *>(w)->text());
    } else if (kind == QLatin1String("line")) {
        // Passed over as what it is, never a stop of its own.
        QCOMPARE(role, QAccessible::Separator);
        QVERIFY(!iface->state().focusable);
    } else {
        QFAIL("unknown kind");
    }
}

void tst_Accessibility::headingReadsItsSentence()
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(form.lblProg());
    QCOMPARE(iface->text(QAccessible::Name), form.lblProg()->text());
    // And the listing's own scroll bar has a name of its own.
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(form.txtSequenz()->verticalScrollBar());
    QCOMPARE(bar->role(), QAccessible::ScrollBar);
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Liste der Summen bl\u00e4ttern"));
}

void tst_Accessibility::captionLabelsTheSearchButton()
{
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(form.Command4());
    const auto labels = button->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object(), form.Label1());
}

void tst_Accessibility::captionBoxLabelsTheNumberBox()
{
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(form.Text1());
    QAccessibleInterface *caption = QAccessible::queryAccessibleInterface(form.Text2());
    const auto labels = box->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object(), form.Text2());
    const auto labelled = caption->relations(QAccessible::Labelled);
    QCOMPARE(labelled.size(), 1);
    QCOMPARE(labelled.first().first->object(), form.Text1());
}

void tst_Accessibility::numberBoxAsText_data()
{
    QTest::addColumn<QString>("shown");
    QTest::newRow("75") << "75";
    QTest::newRow("1000383615") << "1000383615";
    QTest::newRow("empty") << "";
}

void tst_Accessibility::numberBoxAsText()
{
    // What a screen reader reads of the number box, and how it types into it.
    QFETCH(QString, shown);
    form.Text1()->setText(shown);
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(form.Text1());
    QAccessibleTextInterface *text = box->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), shown.size());
    QCOMPARE(text->text(0, text->characterCount()), shown);
    QCOMPARE(box->text(QAccessible::Value), shown);
    // One attribute run over the whole text, wherever it is asked: a screen reader splits what it
    // says by these runs, and empty ones cut the number.
    for (int offset = 0; offset < shown.size(); ++offset) {
        int start = -1, end = -1;
        text->attributes(offset, &start, &end);
        QCOMPARE(start, 0);
        QCOMPARE(end, shown.size());
    }
    form.Text1()->selectAll();
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(text->selectionCount(), shown.isEmpty() ? 0 : 1);
    if (!shown.isEmpty())
        QCOMPARE(std::pair(start, end), std::pair(0, int(shown.size())));
    // Typing through accessibility is typing: 76 is analysed at once.
    QAccessibleEditableTextInterface *editable = box->editableTextInterface();
    QVERIFY(editable);
    editable->replaceText(0, text->characterCount(), QStringLiteral("76"));
    QCOMPARE(form.Text1()->Text(), QStringLiteral("76"));
    QCOMPARE(form->state().n, 76.0);
    // The caption box is read-only: nothing to type into.
    QVERIFY(!QAccessible::queryAccessibleInterface(form.Text2())->editableTextInterface());
    QVERIFY(QAccessible::queryAccessibleInterface(form.Text2())->state().readOnly);
}

void tst_Accessibility::summary_data()
{
    QTest::addColumn<double>("n");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<QString>("said");
    QTest::newRow("75") << 75.0 << 6 << 1 << "75: 6 Darstellungen, 1 halbierbare Sequenz";
    QTest::newRow("76") << 76.0 << 2 << 0 << "76: 2 Darstellungen, keine halbierbare Sequenz";
    QTest::newRow("64") << 64.0 << 1 << 0 << "64: 1 Darstellung, keine halbierbare Sequenz";
    QTest::newRow("-5") << -5.0 << 0 << 0 << "-5: 0 Darstellungen, keine halbierbare Sequenz";
    QTest::newRow("7.5") << 7.5 << 2 << 0 << "7.5: 2 Darstellungen, keine halbierbare Sequenz";
    QTest::newRow("1000383615") << 1000383615.0 << 288 << 2 << "1000383615: 288 Darstellungen, 2 halbierbare Sequenzen";
}

void tst_Accessibility::summary()
{
    QFETCH(double, n);
    QFETCH(int, runs);
    QFETCH(int, pairs);
    QFETCH(QString, said);
    core::AnalysisState state;
    state.n = n;
    state.runCount = std::int16_t(runs);
    state.pairCount = std::int16_t(pairs);
    QCOMPARE(ui::PassSummary(state), said);
}

void tst_Accessibility::whatIsAnnounced_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("said"); // empty: nothing is announced
    QTest::newRow("start-up") << "none"
                              << "";
    QTest::newRow("analysis button") << "button"
                                     << "75: 6 Darstellungen, 1 halbierbare Sequenz";
    QTest::newRow("typed number") << "type"
                                  << "76: 2 Darstellungen, keine halbierbare Sequenz";
    QTest::newRow("scroll bar step") << "scroll"
                                     << "76: 2 Darstellungen, keine halbierbare Sequenz";
    QTest::newRow("unreadable number") << "bad"
                                       << "";
    QTest::newRow("pan bar") << "pan"
                             << "";
}

void tst_Accessibility::whatIsAnnounced()
{
    QFETCH(QString, action);
    QFETCH(QString, said);
    support::Heard heard(form.get());
    QVERIFY(heard.notification);
    // Nothing has been said since the window opened.
    QCOMPARE(heard.notification->text(QAccessible::Name), QString());
    if (action == QLatin1String("button")) {
        form.Command1()->click();
    } else if (action == QLatin1String("type")) {
        form.Text1()->selectAll();
        QTest::keyClick(form.Text1(), Qt::Key_6);
        QTest::keyClick(form.Text1(), Qt::Key_Backspace);
        QTest::keyClicks(form.Text1(), QStringLiteral("76"));
    } else if (action == QLatin1String("scroll")) {
        // Towards Min, which stands at the top: one up.
        const QRect r = form.VScroll1()->subControlRect(QStyle::SC_ScrollBarSubLine);
        QTest::mouseClick(form.VScroll1(), Qt::LeftButton, {}, r.center());
    } else if (action == QLatin1String("bad")) {
        form.Text1()->setText(QStringLiteral("1e400"));
        form.Command1()->click();
    } else if (action == QLatin1String("pan")) {
        form.HScroll1()->setValue(20);
    }
    if (said.isEmpty()) {
        QCOMPARE(heard.said, QStringList());
        return;
    }
    // The typed "6" alone is below 3: nothing ran for it; then "7" and "76" ran a pass each.
    QVERIFY(!heard.said.isEmpty());
    QCOMPARE(heard.said.last(), said);
}

void tst_Accessibility::searchEnds_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QString>("said");
    QTest::newRow("found") << "75" << false << "Suche beendet bei 90: 6 Darstellungen, 1 halbierbare Sequenz";
    QTest::newRow("stopped") << "1000" << true
                             << "Suche angehalten bei 1004: 2 Darstellungen, keine halbierbare Sequenz";
}

void tst_Accessibility::searchEnds()
{
    QFETCH(QString, start);
    QFETCH(bool, stop);
    QFETCH(QString, said);
    // Every number shown, so that the stop comes right after 1003.
    if (stop)
        QVERIFY(form.open({commands::Stepping::Skipping, 1}));
    form.Text1()->setText(start);
    support::Heard heard(form.get());
    QVERIFY(heard.notification);
    if (stop) {
        auto *conn = new QMetaObject::Connection;
        *conn = connect(form.Text1(), &QLineEdit::textChanged, this, [this, conn](const QString &now) {
            if (now != QLatin1String(" 1003"))
                return;
            QObject::disconnect(*conn);
            delete conn;
            QMetaObject::invokeMethod(
                qApp, [this] { form.Command3()->click(); }, Qt::QueuedConnection);
        });
    }
    form.Command4()->click();
    QVERIFY(finishSearches(form->commands()));
    // One announcement for the whole search, though candidates below 1000 each ran a pass through
    // the number scroll bar.
    QCOMPARE(heard.said, QStringList{said});
}

void tst_Accessibility::announcingChangesNothingOnScreen()
{
    const QImage before = form->grab().toImage();
    form.announcer()->announce(QStringLiteral("Probe"));
    QCoreApplication::processEvents();
    QCOMPARE(form->grab().toImage(), before);
    QVERIFY(form.announcer()->isVisible());
    QVERIFY(form.announcer()->size().isEmpty());
    QCOMPARE(form->focusWidget(), form.txtSequenz());
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(form.announcer());
    QCOMPARE(iface->role(), QAccessible::Notification);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Probe"));
}

void tst_Accessibility::focusIsVisible_data()
{
    QTest::addColumn<QString>("control");
    // The three stops whose own widgets show no focus, or only a caret.
    QTest::newRow("picContainer") << "picContainer";
    QTest::newRow("picGraph") << "picGraph";
    QTest::newRow("txtSequenz") << "txtSequenz";
}

void tst_Accessibility::focusIsVisible()
{
    QFETCH(QString, control);
    QWidget *w = form->findChild<QWidget *>(control);
    QVERIFY(w);
    // The start-up layout reaches beyond the designed window; enlarged, the window shows it all.
    form->resize(1270, 1000);
    // Where the control can be seen: the canvas only inside the chart frame.
    QRect seen(w->mapTo(form.get(), QPoint(0, 0)), w->size());
    if (w == form.picGraph())
        seen &= QRect(form.picContainer()->pos(), form.picContainer()->size());
    // The left edge, a few pixels wide, from a third to two thirds of the way down: away from a
    // caret at the start of the text and from the chart's bars.
    const QRect edge(seen.left(), seen.top() + seen.height() / 3, 5, seen.height() / 3);
    QVERIFY(form->rect().contains(edge));
    form.Command1()->setFocus();
    QTRY_VERIFY(form.Command1()->hasFocus());
    const QImage unfocused = form->grab(edge).toImage();
    w->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w->hasFocus());
    QTRY_VERIFY2(form->grab(edge).toImage() != unfocused, "the focus shows nowhere at the control's edge");
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
