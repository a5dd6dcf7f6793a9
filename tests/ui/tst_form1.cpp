// The window as a person meets it: where each control stands, what it shows and in which face,
// the colours, the focus order, and what the window shows at start.
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "ui/application.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QProcess>
#include <QtTest>

#include <algorithm>

namespace {

// The face fontconfig names for a pattern; asked once per pattern, as every row asks again.
QString fontconfigFace(const QString &pattern)
{
    static QHash<QString, QString> known;
    if (const auto it = known.constFind(pattern); it != known.constEnd())
        return *it;
    QProcess fcMatch;
    fcMatch.start(QStringLiteral("fc-match"), {QStringLiteral("-f"), QStringLiteral("%{family[0]}"), pattern});
    if (!fcMatch.waitForFinished(10000) || fcMatch.exitStatus() != QProcess::NormalExit || fcMatch.exitCode() != 0)
        return QStringLiteral("(fc-match failed for %1: %2)").arg(pattern, fcMatch.errorString());
    return known[pattern] = QString::fromUtf8(fcMatch.readAllStandardOutput());
}

// The face a designed Windows face is drawn in on this system: the face itself where it is
// installed, else the one of the same widths that fontconfig puts in its place (Liberation
// Serif for Times New Roman, with fonts-liberation2). MS Sans Serif, a bitmap face, has no such
// alias; its TrueType successor Microsoft Sans Serif has Arial's widths, so Arial's stand-in keeps
// the captions in their boxes.
QString standIn(const QString &designed)
{
    const QString face = fontconfigFace(designed);
    if (face == designed)
        return face;
    return fontconfigFace(designed == QLatin1String("MS Sans Serif") ? QStringLiteral("Arial") : designed);
}

// The caption as the control shows it.
QString shownCaption(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->displayText();
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text();
    return {};
}

// The free columns left and right of the caption inside the control's contents, as it is painted:
// the columns in which every pixel has the ground's colour; -1 when nothing is drawn on it.
std::pair<int, int> margins(QWidget *w)
{
    const QImage image = w->grab().toImage();
    // Inside a button's raised border, or a box's sunken one.
    const int inset = qobject_cast<QAbstractButton *>(w) ? 4 : 2;
    const QRect contents = w->contentsRect().adjusted(inset, inset, -inset, -inset);
    // The ground is the colour most of the contents have.
    QHash<QRgb, int> counts;
    for (int y = contents.top(); y <= contents.bottom(); ++y)
        for (int x = contents.left(); x <= contents.right(); ++x)
            ++counts[image.pixel(x, y)];
    const QRgb ground = std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                            return a.second < b.second;
                        })->first;
    auto inked = [&](int x) {
        for (int y = contents.top(); y <= contents.bottom(); ++y)
            if (image.pixel(x, y) != ground)
                return true;
        return false;
    };
    int first = contents.left();
    while (first <= contents.right() && !inked(first))
        ++first;
    if (first > contents.right())
        return {-1, -1};
    int last = contents.right();
    while (!inked(last))
        --last;
    return {first - contents.left(), contents.right() - last};
}

} // namespace

class tst_Form1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void captionsFit_data();
    void captionsFit();
    void applicationFont();
    void colours_data();
    void colours();
    void scrollBars();
    void focusOrder();
    void startState();
    void lockedCaptionBox();
    void stopButton();
    void resizeMovesNothing();
    void accessibleNames();

private:
    QWidget *control(const QString &name) const;
    support::Form1Fixture form;
};

void tst_Form1::init()
{
    QVERIFY(form.open());
}

void tst_Form1::cleanup()
{
    form.reset();
}

QWidget *tst_Form1::control(const QString &name) const
{
    if (name == QLatin1String("Form1"))
        return form.get();
    return form->findChild<QWidget *>(name);
}

void tst_Form1::controls_data()
{
    // Where each control stands and what it shows, as designed: its container, its rectangle in
    // the container's twips (null where the start-up layout places it, which tst_layout checks),
    // its caption, the designed font and the side its caption keeps to.
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRectF>("twips");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("face");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("side");

    const QString times = QStringLiteral("Times New Roman");
    const QString sans = QStringLiteral("MS Sans Serif");
    QTest::newRow("lblProg")
        << "Form1" << QRectF()
        << "Dieses Programm ermittelt alle Darstellungen von n als Summe aufeinanderfolgender Zahlen" << times << 15.75
        << true << "centre";
    QTest::newRow("Text2") << "Frame1" << QRectF(120, 240, 1095, 615) << "n = " << times << 20.25 << false << "right";
    QTest::newRow("Text1") << "Frame1" << QRectF(1320, 240, 3015, 645) << "75" << times << 20.25 << false << "centre";
    QTest::newRow("Command1") << "Frame1" << QRectF(120, 960, 4215, 735) << "graph. Darstellung anpassen" << sans
                              << 13.5 << false << "centre";
    QTest::newRow("Label1") << "Frame1" << QRectF(240, 2640, 3135, 375) << "weiterspringen zur" << times << 15.75
                            << false << "left";
    QTest::newRow("Command4") << "Frame1" << QRectF(120, 3120, 3735, 495)
                              << QStringLiteral("n\u00e4chsten halbierbaren Sequenz") << times << 12.0 << false
                              << "centre";
    QTest::newRow("Command5") << "Frame1" << QRectF(120, 3720, 3735, 495)
                              << QStringLiteral("n\u00e4chsten Stelle  mit zwei h. S.") << times << 12.0 << false
                              << "centre";
    // The stop button shows a picture, the scroll bars and the chart nothing written; they and the
    // listing's lines are drawn in the default control font or their own.
    QTest::newRow("Command3") << "Frame1" << QRectF(3960, 3120, 975, 1095) << QString() << sans << 9.0 << false
                              << QString();
    QTest::newRow("VScroll1") << "Frame1" << QRectF(4440, 240, 495, 1455) << QString() << sans << 9.0 << false
                              << QString();
    QTest::newRow("picContainer") << "Form1" << QRectF() << QString() << sans << 9.0 << false << QString();
    QTest::newRow("picGraph") << "picContainer" << QRectF() << QString() << sans << 9.0 << false << QString();
    QTest::newRow("HScroll1") << "picContainer" << QRectF() << QString() << sans << 9.0 << false << QString();
    QTest::newRow("Frame1") << "Form1" << QRectF() << QString() << sans << 9.0 << false << QString();
    QTest::newRow("txtSequenz") << "Form1" << QRectF() << QString() << times << 14.25 << true << QString();
}

void tst_Form1::controls()
{
    QFETCH(QString, container);
    QFETCH(QRectF, twips);
    QFETCH(QString, caption);
    QFETCH(QString, face);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(QString, side);
    QWidget *w = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);

    // The chart frame keeps its children in an inner area inside its border.
    QWidget *parent = w->parentWidget();
    if (container == QLatin1String("picContainer"))
        parent = parent->parentWidget();
    QCOMPARE(parent->objectName(), container);

    if (!twips.isNull()) {
        // Where the program reads it, and where it is on the screen at 15 twips a pixel.
        const rt::Placement &p = form->placement(w);
        QCOMPARE(QRectF(p.Left(), p.Top(), p.Width(), p.Height()), twips);
        const double tpp = rt::TwipsPerPixel();
        QCOMPARE(w->geometry(),
                 QRect(qRound(twips.left() / tpp), qRound(twips.top() / tpp), qRound(twips.width() / tpp),
                       qRound(twips.height() / tpp)));
    }

    QCOMPARE(shownCaption(w), caption);

    // The face it is drawn in: the designed one or the system's stand-in of the same widths.
    const QFontInfo seen(w->font());
    QCOMPARE(seen.family(), standIn(face));
    QCOMPARE(seen.pointSizeF(), points);
    QCOMPARE(seen.bold(), bold);
    QVERIFY(!seen.italic() && !seen.fixedPitch());
    QVERIFY(!w->font().underline() && !w->font().strikeOut());

    if (!side.isEmpty()) {
        const auto [before, after] = margins(w);
        QVERIFY2(before >= 0, "no caption drawn");
        const QString where = QStringLiteral("%1 px before the caption, %2 px after it").arg(before).arg(after);
        if (side == QLatin1String("left"))
            QVERIFY2(before < after, qPrintable(where));
        else if (side == QLatin1String("right"))
            QVERIFY2(after < before, qPrintable(where));
        else
            QVERIFY2(qAbs(before - after) <= 3, qPrintable(where));
    }
}

void tst_Form1::captionsFit_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("Command1") << "graph. Darstellung anpassen";
    QTest::newRow("Command4") << "nächsten halbierbaren Sequenz";
    QTest::newRow("Command5") << "nächsten Stelle  mit zwei h. S.";
    QTest::newRow("Label1") << "weiterspringen zur";
    QTest::newRow("Text2") << "n = ";
}

void tst_Form1::captionsFit()
{
    QFETCH(QString, caption);
    QWidget *w = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    // A button's face lies inside its raised border; a caption wider than that is cut at both ends.
    const int room = w->contentsRect().width() - (qobject_cast<QAbstractButton *>(w) ? 8 : 0);
    const int width = w->fontMetrics().horizontalAdvance(caption);
    QVERIFY2(width <= room, qPrintable(QStringLiteral("%1 px of text in %2 px").arg(width).arg(room)));
    QVERIFY2(w->fontMetrics().height() <= w->height(), qPrintable(QFontInfo(w->font()).family()));
}

void tst_Form1::applicationFont()
{
    // Message boxes and tooltips take the application's font, the default control font.
    const QFontInfo face(QApplication::font());
    QCOMPARE(face.family(), standIn(QStringLiteral("MS Sans Serif")));
    QCOMPARE(face.pointSizeF(), 9.0);
    QVERIFY(!face.fixedPitch());
}

void tst_Form1::colours_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("rgb");
    QTest::newRow("lblProg") << int(QPalette::Window) << rt::RGB(0, 192, 192);
    QTest::newRow("lblProg") << int(QPalette::WindowText) << rt::RGB(255, 255, 128);
    QTest::newRow("Text2") << int(QPalette::Base) << rt::RGB(255, 255, 128);
    QTest::newRow("Text1") << int(QPalette::Base) << rt::RGB(255, 255, 128);
    QTest::newRow("Label1") << int(QPalette::WindowText) << rt::RGB(0, 0, 255);
}

void tst_Form1::colours()
{
    QFETCH(int, role);
    QFETCH(int, rgb);
    QWidget *w = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    QCOMPARE(w->palette().color(QPalette::ColorRole(role)), rt::Canvas::toQColor(rgb));
}

void tst_Form1::scrollBars()
{
    QCOMPARE(form.VScroll1()->Min(), 1000);
    QCOMPARE(form.VScroll1()->Max(), 3);
    QCOMPARE(form.VScroll1()->Value(), 75);
    QCOMPARE(form.VScroll1()->singleStep(), 1);
    QCOMPARE(form.VScroll1()->pageStep(), 1);
    QCOMPARE(form.HScroll1()->Min(), 0);
    QCOMPARE(form.HScroll1()->Value(), 0);
    QCOMPARE(form.HScroll1()->singleStep(), 1);
    QCOMPARE(form.HScroll1()->pageStep(), 10);
    // The start-up pass has fitted the pan range to 75.
    QCOMPARE(form.HScroll1()->Max(), 75);
}

void tst_Form1::focusOrder()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.txtSequenz()));
    const QStringList expected = {"VScroll1", "Command1",     "Text1",    "Text2",    "Command4",  "Command5",
                                  "Command3", "picContainer", "HScroll1", "picGraph", "txtSequenz"};
    QStringList visited;
    QWidget *w = form.txtSequenz();
    for (int i = 0; i < expected.size(); ++i) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(form.get()) || w->objectName().isEmpty())
            w = w->nextInFocusChain();
        visited << w->objectName();
    }
    QCOMPARE(visited, expected);
}

void tst_Form1::startState()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Summenleiter"));
    QVERIFY(!form->isMaximized());
    const double tpp = rt::TwipsPerPixel();
    QCOMPARE(form->size(), QSize(qRound(4680 / tpp), qRound(3195 / tpp)));
    QCOMPARE(form.Text1()->Text(), QStringLiteral("75"));
    QVERIFY(form.txtSequenz()->Text().startsWith(QStringLiteral("\r\n 75 = 75\r\n 75 = 24 +...+  26")));
    QVERIFY(form.txtSequenz()->Text().endsWith(QStringLiteral("halbierbare Sequenzen:\r\n 3_ 12 =  13_ 17")));
}

void tst_Form1::lockedCaptionBox()
{
    form.Text2()->setFocus();
    QTest::keyClicks(form.Text2(), QStringLiteral("123"));
    QCOMPARE(form.Text2()->text(), QStringLiteral("n = "));
    QCOMPARE(form.Text2()->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

void tst_Form1::stopButton()
{
    QCOMPARE(form.Command3()->toolTip(), QStringLiteral("anhalten"));
    QVERIFY(!form.Command3()->icon().isNull());
    QCOMPARE(form.Command3()->iconSize(), QSize(24, 23));
}

void tst_Form1::resizeMovesNothing()
{
    QList<QRect> before;
    const auto widgets = form->findChildren<QWidget *>();
    for (QWidget *w : widgets)
        before << w->geometry();
    form->resize(1000, 700);
    QTRY_COMPARE(form->size(), QSize(1000, 700));
    for (int i = 0; i < widgets.size(); ++i)
        if (widgets[i]->objectName().size() > 0)
            QCOMPARE(widgets[i]->geometry(), before[i]);
}

void tst_Form1::accessibleNames()
{
    // Every designed control is named for a screen reader, and no two controls, nor a control and
    // the window, share a name, so that none is taken for another. A control that shows a caption
    // is named by it, so that whoever sees the caption finds the control under it (a screen
    // reader's search, speech control). One that a person acts on or reads results from is also
    // described.
    const QStringList designed = {"lblProg", "picContainer", "picGraph", "HScroll1", "Frame1",
                                  "Text2",   "Text1",        "VScroll1", "Command1", "Line1",
                                  "Label1",  "Command4",     "Command5", "Command3", "txtSequenz"};
    QVERIFY(!form->accessibleName().isEmpty());
    QHash<QString, QString> owner{{form->accessibleName(), QStringLiteral("Form1")}};
    for (const QString &id : designed) {
        QWidget *w = control(id);
        QVERIFY2(w, qPrintable(id));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        // A separator is passed over in silence.
        if (iface->role() == QAccessible::Separator)
            continue;
        const QString name = iface->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(id + QLatin1String(" has no name")));
        QVERIFY2(!owner.contains(name),
                 qPrintable(QStringLiteral("%1 and %2 are both called '%3'").arg(owner.value(name), id, name)));
        owner.insert(name, id);
        if (const QString caption = shownCaption(w);
            !caption.isEmpty() && (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w)))
            QCOMPARE(name, caption);
        const QAccessible::State state = iface->state();
        if (state.focusable && !state.readOnly && iface->role() != QAccessible::Grouping)
            QVERIFY2(!iface->text(QAccessible::Description).isEmpty(), qPrintable(id + QLatin1String(" undescribed")));
    }
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
