#include "controls/listingbox.h"

#include <QTest>

#include <QTextDocument>
#include <string>

class tst_ListingBox : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void appendsShowLikeOneWrite_data();
    void appendsShowLikeOneWrite();
    void appendsKeepNoUndoSteps();
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

void tst_ListingBox::appendsShowLikeOneWrite_data()
{
    QTest::addColumn<QStringList>("writes");
    QTest::newRow("pass for 75") << QStringList{
        QString(), QStringLiteral("\r\n 75 = 75"), QStringLiteral("\r\n 75 = 75\r\n 75 = 24 +...+  26"),
        QStringLiteral("\r\n 75 = 75\r\n 75 = 24 +...+  26\r\n\r\nhalbierbare Sequenzen:"),
        QStringLiteral("\r\n 75 = 75\r\n 75 = 24 +...+  26\r\n\r\nhalbierbare Sequenzen:\r\nkeine")};
    QTest::newRow("CR then LF") << QStringList{QStringLiteral("a\r"), QStringLiteral("a\r\nb")};
    QTest::newRow("shrinks") << QStringList{QStringLiteral("abc\r\ndef"), QStringLiteral("abc")};
    QTest::newRow("same text twice") << QStringList{QStringLiteral("x\r\ny"), QStringLiteral("x\r\ny")};
    QTest::newRow("different start") << QStringList{QStringLiteral("abc"), QStringLiteral("xabcd")};
}

void tst_ListingBox::appendsShowLikeOneWrite()
{
    QFETCH(QStringList, writes);
    rt::ListingBox box;
    for (const QString &w : writes)
        box.setText(w);
    QPlainTextEdit reference;
    reference.setPlainText(writes.last());
    QCOMPARE(box.Text(), writes.last());
    QCOMPARE(box.QPlainTextEdit::toPlainText(), reference.toPlainText());
    QCOMPARE(box.blockCount(), reference.blockCount());
}

void tst_ListingBox::appendsKeepNoUndoSteps()
{
    rt::ListingBox box;
    QString text;
    box.setText(text);
    for (int i = 0; i < 50; ++i) {
        text += QStringLiteral("\r\n line %1").arg(i);
        box.setText(text);
    }
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
    // One analysis pass's worth of listing: emptied, then some 700 lines appended one by one,
    // each time reading the whole text and writing it back.
    rt::ListingBox box;
    QBENCHMARK
    {
        box.setText(QString());
        for (int i = 1; i <= 700; ++i)
            box.setText(box.Text() + QStringLiteral("\r\n %1 = %2 +...+  %3").arg(i).arg(i).arg(i + 2));
    }
    QCOMPARE(box.blockCount(), 701);
}

QTEST_MAIN(tst_ListingBox)
#include "tst_listingbox.moc"
