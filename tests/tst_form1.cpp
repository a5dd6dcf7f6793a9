// The window as designed: every control's kind, container, geometry, text, font and colours,
// the focus order, and what the window shows at start.
#include "rules/numrules.h"
#include "ui/application.h"
#include "ui/fonts.h"
#include "ui/form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QtTest>

#include <algorithm>

namespace {

// The face a font with these families is drawn in, where one of them is installed.
QString firstInstalled(const QStringList &families)
{
    const auto it = std::find_if(families.begin(), families.end(), [](const QString &f) { return QFontDatabase::hasFamily(f); });
    return it == families.end() ? QStringLiteral("(none of %1)").arg(families.join(QLatin1String(", "))) : *it;
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
    void captions_data();
    void captions();
    void fonts_data();
    void fonts();
    void captionsFit_data();
    void captionsFit();
    void defaultFont_data();
    void defaultFont();
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
    std::unique_ptr<ui::Form1> form;
};

void tst_Form1::init()
{
    form = std::make_unique<ui::Form1>(rt::ScreenSize{15360, 11520});
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
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRectF>("geometry"); // in the container's unit; null: set at start-up

    QTest::newRow("lblProg") << "QLabel"
                             << "Form1" << QRectF();
    QTest::newRow("picContainer") << "QFrame"
                                  << "Form1" << QRectF();
    QTest::newRow("picGraph") << "rt::Canvas"
                              << "picContainer" << QRectF();
    QTest::newRow("HScroll1") << "rt::ScrollBar"
                              << "picContainer" << QRectF();
    QTest::newRow("Frame1") << "QFrame"
                            << "Form1" << QRectF();
    QTest::newRow("Text2") << "QLineEdit"
                           << "Frame1" << QRectF(120, 240, 1095, 615);
    QTest::newRow("Text1") << "QLineEdit"
                           << "Frame1" << QRectF(1320, 240, 3015, 645);
    QTest::newRow("VScroll1") << "rt::ScrollBar"
                              << "Frame1" << QRectF(4440, 240, 495, 1455);
    QTest::newRow("Command1") << "QPushButton"
                              << "Frame1" << QRectF(120, 960, 4215, 735);
    QTest::newRow("Label1") << "QLabel"
                            << "Frame1" << QRectF(240, 2640, 3135, 375);
    QTest::newRow("Command4") << "QPushButton"
                              << "Frame1" << QRectF(120, 3120, 3735, 495);
    QTest::newRow("Command5") << "QPushButton"
                              << "Frame1" << QRectF(120, 3720, 3735, 495);
    QTest::newRow("Command3") << "QPushButton"
                              << "Frame1" << QRectF(3960, 3120, 975, 1095);
    QTest::newRow("txtSequenz") << "rt::ListingBox"
                                << "Form1" << QRectF();
}

void tst_Form1::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QRectF, geometry);
    QWidget *w = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    QVERIFY2(w->inherits(kind.toLatin1()), w->metaObject()->className());
    // The chart frame keeps its children in an inner area inside its border.
    QWidget *parent = w->parentWidget();
    if (container == QLatin1String("picContainer"))
        parent = parent->parentWidget();
    QCOMPARE(parent->objectName(), container);
    if (geometry.isNull())
        return;
    rt::Placement &p = form->placement(w);
    QCOMPARE(p.Left(), float(geometry.left()));
    QCOMPARE(p.Top(), float(geometry.top()));
    QCOMPARE(p.Width(), float(geometry.width()));
    QCOMPARE(p.Height(), float(geometry.height()));
    // 15 twips a pixel at 96 dpi.
    const double tpp = rt::TwipsPerPixel();
    QCOMPARE(w->geometry(),
             QRect(qRound(geometry.left() / tpp), qRound(geometry.top() / tpp), qRound(geometry.width() / tpp),
                   qRound(geometry.height() / tpp)));
}

void tst_Form1::captions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("alignment");
    QTest::newRow("lblProg") << QStringLiteral("Dieses Programm ermittelt alle Darstellungen von n als Summe "
                                               "aufeinanderfolgender Zahlen")
                             << int(Qt::AlignHCenter);
    QTest::newRow("Text2") << QStringLiteral("n = ") << int(Qt::AlignRight);
    QTest::newRow("Text1") << QStringLiteral("75") << int(Qt::AlignHCenter);
    QTest::newRow("Command1") << QStringLiteral("graph. Darstellung anpassen") << 0;
    QTest::newRow("Label1") << QStringLiteral("weiterspringen zur") << int(Qt::AlignLeft);
    QTest::newRow("Command4") << QStringLiteral("n\u00e4chsten halbierbaren Sequenz") << 0;
    QTest::newRow("Command5") << QStringLiteral("n\u00e4chsten Stelle  mit zwei h. S.") << 0;
    QTest::newRow("Command3") << QString() << 0;
}

void tst_Form1::captions()
{
    QFETCH(QString, text);
    QFETCH(int, alignment);
    QWidget *w = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    if (auto *l = qobject_cast<QLabel *>(w)) {
        QCOMPARE(l->text(), text);
        QCOMPARE(int(l->alignment() & Qt::AlignHorizontal_Mask), alignment);
    } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
        QCOMPARE(e->text(), text);
        QCOMPARE(int(e->alignment() & Qt::AlignHorizontal_Mask), alignment);
    } else {
        QCOMPARE(qobject_cast<QAbstractButton *>(w)->text(), text);
    }
}

void tst_Form1::fonts_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::newRow("lblProg") << "Times New Roman" << 15.75 << true;
    QTest::newRow("Text2") << "Times New Roman" << 20.25 << false;
    QTest::newRow("Text1") << "Times New Roman" << 20.25 << false;
    QTest::newRow("Command1") << "MS Sans Serif" << 13.5 << false;
    QTest::newRow("Label1") << "Times New Roman" << 15.75 << false;
    QTest::newRow("Command4") << "Times New Roman" << 12.0 << false;
    QTest::newRow("Command5") << "Times New Roman" << 12.0 << false;
    QTest::newRow("txtSequenz") << "Times New Roman" << 14.25 << true;
}

void tst_Form1::fonts()
{
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QWidget *w = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(w);
    const QFont f = w->font();
    QCOMPARE(f.pointSizeF(), points);
    QCOMPARE(f.bold(), bold);
    QVERIFY(!f.italic() && !f.underline() && !f.strikeOut());
    // The designed face or one of the same widths, named by the program itself: left to the
    // generic families, a bare Linux system draws them in Liberation Mono.
    const QFontInfo face(f);
    QCOMPARE(face.family(), firstInstalled(ui::FontFamilies(family)));
    QVERIFY(!face.fixedPitch());
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

void tst_Form1::defaultFont_data()
{
    // The controls without a designed font, and the canvas that prints the bar labels.
    QTest::addColumn<QString>("name");
    for (const char *name : {"Command3", "picGraph", "HScroll1"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_Form1::defaultFont()
{
    QFETCH(QString, name);
    QWidget *w = control(name);
    QVERIFY(w);
    const QFontInfo face(w->font());
    const QString dialogFace = firstInstalled(ui::FontFamilies(QStringLiteral("MS Sans Serif")));
    QCOMPARE(face.family(), dialogFace);
    QVERIFY(!face.fixedPitch());
    // Message boxes and tooltips take the application's font.
    QCOMPARE(QFontInfo(QApplication::font()).family(), dialogFace);
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
    QCOMPARE(form->VScroll1->Min(), 1000);
    QCOMPARE(form->VScroll1->Max(), 3);
    QCOMPARE(form->VScroll1->Value(), 75);
    QCOMPARE(form->VScroll1->singleStep(), 1);
    QCOMPARE(form->VScroll1->pageStep(), 1);
    QCOMPARE(form->HScroll1->Min(), 0);
    QCOMPARE(form->HScroll1->Value(), 0);
    QCOMPARE(form->HScroll1->singleStep(), 1);
    QCOMPARE(form->HScroll1->pageStep(), 10);
    // The start-up pass has fitted the pan range to 75.
    QCOMPARE(form->HScroll1->Max(), 75);
}

void tst_Form1::focusOrder()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form->txtSequenz));
    const QStringList expected = {"VScroll1", "Command1",     "Text1",    "Text2",    "Command4",  "Command5",
                                  "Command3", "picContainer", "HScroll1", "picGraph", "txtSequenz"};
    QStringList visited;
    QWidget *w = form->txtSequenz;
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
    QCOMPARE(form->Text1->Text(), QStringLiteral("75"));
    QVERIFY(form->txtSequenz->Text().startsWith(QStringLiteral("\r\n 75 = 75\r\n 75 = 24 +...+  26")));
    QVERIFY(form->txtSequenz->Text().endsWith(QStringLiteral("halbierbare Sequenzen:\r\n 3_ 12 =  13_ 17")));
}

void tst_Form1::lockedCaptionBox()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->Text2->setFocus();
    QTest::keyClicks(form->Text2, QStringLiteral("123"));
    QCOMPARE(form->Text2->text(), QStringLiteral("n = "));
    QCOMPARE(form->Text2->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

void tst_Form1::stopButton()
{
    QCOMPARE(form->Command3->toolTip(), QStringLiteral("anhalten"));
    QVERIFY(!form->Command3->icon().isNull());
    QCOMPARE(form->Command3->iconSize(), QSize(24, 23));
}

void tst_Form1::resizeMovesNothing()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
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
    // Every control a person can reach, and every container, is named for a screen reader; the
    // ones a person acts on are also described. A button that shows a caption is named by it.
    const QHash<QString, QString> expected = {
        // The heading is read as the sentence it shows.
        {"lblProg", "Dieses Programm ermittelt alle Darstellungen von n als Summe aufeinanderfolgender Zahlen"},
        {"picContainer", "Diagramm"},
        {"picGraph", "Balkendiagramm der Summen"},
        {"HScroll1", "Diagramm verschieben"},
        {"Frame1", "Eingabe und Suche"},
        {"Text2", "Beschriftung n"},
        {"Text1", "Zahl n"},
        {"VScroll1", "Zahl n einstellen"},
        {"Command1", "graph. Darstellung anpassen"},
        {"Label1", "Weiterspringen zur"},
        {"Command4", QStringLiteral("n\u00e4chsten halbierbaren Sequenz")},
        {"Command5", QStringLiteral("n\u00e4chsten Stelle  mit zwei h. S.")},
        {"Command3", "Anhalten"},
        {"txtSequenz", "Liste der Summen"},
    };
    const QStringList acted = {"picGraph", "HScroll1", "Text1",    "VScroll1",  "Command1",
                               "Command4", "Command5", "Command3", "txtSequenz"};
    QCOMPARE(form->accessibleName(), QStringLiteral("Summenleiter"));
    QSet<QString> names{form->accessibleName()};
    QSet<QString> seen;
    for (QWidget *w : form->findChildren<QWidget *>()) {
        const QString id = w->objectName();
        if (id.isEmpty() || id.startsWith(QLatin1String("qt_")) || w == form->Line1 || w == &form->announcer())
            continue;
        QVERIFY2(expected.contains(id), qPrintable(id + QLatin1String(" has no expected name")));
        QCOMPARE(w->accessibleName(), expected.value(id));
        names.insert(w->accessibleName());
        seen.insert(id);
        if (acted.contains(id))
            QVERIFY2(!w->accessibleDescription().isEmpty(), qPrintable(id));
        if (auto *b = qobject_cast<QAbstractButton *>(w); b && !b->text().isEmpty())
            QCOMPARE(w->accessibleName(), b->text());
    }
    QCOMPARE(seen.size(), expected.size());
    QCOMPARE(names.size(), expected.size() + 1); // no two controls, nor a control and the window, share a name
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
