#include "controls/listingbox.h"

#include <QTest>

#include <QScrollBar>
#include <QTextDocument>
#include <string>

class tst_ListingBox : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void newTextReplacesOld_data();
    void newTextReplacesOld();
    void writesLeaveNoUndoSteps();
    void userEditGivesCrLf_data();
    void userEditGivesCrLf();
    void writeAfterEditShowsWrittenText();
    void benchmarkListingPass();
};

void tst_ListingBox::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("75") << QStringLiteral("75") << QStringLiteral("75");
    QTest::newRow("CR LF run lines") << QStringLiteral("\r\n 75 = 75\r\n 75 = 24 +...+  26")
                                     << QStringLiteral("\n 75 = 75\n 75 = 24 +...+  26");
    QTest::newRow("trailing CR LF") << QStringLiteral("a\r\n") << QStringLiteral("a\n");
    QTest::newRow("empty line") << QStringLiteral("a\r\n\r\nb") << QStringLiteral("a\n\nb");
    QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringLiteral("a\nb");
    QTest::newRow("lone LF") << QStringLiteral("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("LF CR") << QStringLiteral("a\n\rb") << QStringLiteral("a\n\nb");
    QTest::newRow("umlaut") << QStringLiteral("nächsten\r\nkeine") << QStringLiteral("nächsten\nkeine");
}

void tst_ListingBox::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    rt::ListingBox box;
    box.setText(QStringLiteral("old\r\ntext"));
    box.setText(text);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.QPlainTextEdit::toPlainText(), shown);
}

void tst_ListingBox::newTextReplacesOld_data()
{
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("text");
    const QString lines = QStringLiteral("\r\n 75 = 75\r\n 75 = 24 +...+  26\r\n 75 = 11 +...+  15");
    QString many;
    for (int i = 1; i <= 60; ++i)
        many += QStringLiteral("\r\n %1 = %1").arg(i);
    QTest::newRow("longer after shorter") << lines << many;
    QTest::newRow("shorter after longer") << many << lines;
    QTest::newRow("old text and more") << many << many + QStringLiteral("\r\n\r\nhalbierbare Sequenzen:");
    QTest::newRow("old text cut short") << many << many.left(many.size() / 2);
    QTest::newRow("CR then LF") << QStringLiteral("a\r") << QStringLiteral("a\r\nb");
    QTest::newRow("empty after text") << many << QString();
}

// What a person meets after a pass or a search has written a new listing over the one they were
// reading: the new listing alone, from its first line, with the caret at its start and nothing
// selected, however far down they had scrolled or what they had selected.
void tst_ListingBox::newTextReplacesOld()
{
    QFETCH(QString, old);
    QFETCH(QString, text);
    rt::ListingBox box;
    box.resize(200, 120);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setText(old);
    box.moveCursor(QTextCursor::End);
    box.moveCursor(QTextCursor::PreviousBlock, QTextCursor::KeepAnchor);
    box.ensureCursorVisible();
    // The old listing did not fit: the person had scrolled down to its end.
    QCOMPARE(box.verticalScrollBar()->value() > 0, old.count(QLatin1Char('\n')) > 10);
    box.setText(text);

    QPlainTextEdit reference;
    reference.setPlainText(text);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.QPlainTextEdit::toPlainText(), reference.toPlainText());
    QCOMPARE(box.blockCount(), reference.blockCount());
    QCOMPARE(box.textCursor().position(), 0);
    QVERIFY(!box.textCursor().hasSelection());
    QCOMPARE(box.cursorForPosition(QPoint(0, 0)).blockNumber(), 0);
    QCOMPARE(box.verticalScrollBar()->value(), 0);
}

// Undo in the listing never brings back an earlier number's listing.
void tst_ListingBox::writesLeaveNoUndoSteps()
{
    rt::ListingBox box;
    QString text;
    for (int i = 0; i < 50; ++i) {
        text += QStringLiteral("\r\n line %1").arg(i);
        box.setText(text);
        box.setText(QStringLiteral("other %1").arg(i));
    }
    box.setText(text);
    QVERIFY(!box.document()->isUndoAvailable());
    QCOMPARE(box.blockCount(), 51);
}

void tst_ListingBox::userEditGivesCrLf_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("z") << QStringLiteral("z") << QStringLiteral("\r\n 75 = 75\r\n 75 = 24z");
    QTest::newRow("Return") << QStringLiteral("\n") << QStringLiteral("\r\n 75 = 75\r\n 75 = 24\r\n");
}

void tst_ListingBox::userEditGivesCrLf()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    rt::ListingBox box;
    box.setText(QStringLiteral("\r\n 75 = 75\r\n 75 = 24"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.moveCursor(QTextCursor::End);
    if (typed == QStringLiteral("\n"))
        QTest::keyClick(&box, Qt::Key_Return);
    else
        QTest::keyClicks(&box, typed);
    QCOMPARE(box.Text(), expected);
}

void tst_ListingBox::writeAfterEditShowsWrittenText()
{
    rt::ListingBox box;
    box.setText(QStringLiteral("a\r\nb"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, QStringLiteral("c"));
    QCOMPARE(box.Text(), QStringLiteral("a\r\nbc"));
    // The same text as before the edit must be shown again, not taken for unchanged.
    box.setText(QStringLiteral("a\r\nb"));
    QCOMPARE(box.QPlainTextEdit::toPlainText(), QStringLiteral("a\nb"));
    QCOMPARE(box.Text(), QStringLiteral("a\r\nb"));
    box.setText(QStringLiteral("a\r\nb\r\nd"));
    QCOMPARE(box.QPlainTextEdit::toPlainText(), QStringLiteral("a\nb\nd"));
}

void tst_ListingBox::benchmarkListingPass()
{
    // One analysis pass's worth of listing, some 700 lines, written over the last pass's: what
    // the end of every search's slice shows.
    QString listings[2];
    for (int i = 1; i <= 700; ++i)
        for (int k = 0; k < 2; ++k)
            listings[k] += QStringLiteral("\r\n %1 = %2 +...+  %3").arg(i + k).arg(i).arg(i + 2);
    rt::ListingBox box;
    int k = 0;
    QBENCHMARK
    {
        box.setText(listings[k]);
        k = 1 - k;
    }
    QCOMPARE(box.blockCount(), 701);
}

QTEST_MAIN(tst_ListingBox)
#include "tst_listingbox.moc"
