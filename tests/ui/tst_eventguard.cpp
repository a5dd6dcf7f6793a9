// The boundary of the event procedures: an error that reaches it is reported once, as every
// runtime error is, and the window goes on with the next event.
#include "core/pass.h"
#include "rules/numrules.h"
#include "support/form1_fixture.h"
#include "support/search_oracle.h"
#include "ui/application.h"

#include <QtTest>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

enum class Entry { Command1, Command3, Command4, Command5, Text1, VScroll1End, HScroll1End };

QString coreListing(double n)
{
    core::AnalysisState state;
    state.n = n;
    core::RunPass(state, n, {}, {});
    return QString::fromStdString(state.listing);
}

} // namespace

class tst_EventGuard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::PrepareApplication(); }
    void guardReports_data();
    void guardReports();
    void entryPoints_data();
    void entryPoints();
};

void tst_EventGuard::guardReports_data()
{
    QTest::addColumn<std::function<void()>>("procedure");
    QTest::addColumn<int>("reported");
    QTest::newRow("returns") << std::function<void()>([] {}) << 0;
    QTest::newRow("overflow") << std::function<void()>([] { rt::RaiseOverflow(); }) << 6;
    QTest::newRow("division by zero") << std::function<void()>([] { rt::Mod(7, 0); }) << 11;
    QTest::newRow("no memory") << std::function<void()>([] { throw std::bad_alloc(); }) << 7;
    QTest::newRow("anything else") << std::function<void()>([] { throw std::logic_error("x"); }) << 51;
    QTest::newRow("not even an exception") << std::function<void()>([] { throw 42; }) << 51;
}

void tst_EventGuard::guardReports()
{
    QFETCH(std::function<void()>, procedure);
    QFETCH(int, reported);
    rt::ErrorReporter errors;
    QList<int> seen;
    errors.setHandler([&](const rt::RuntimeError &e, const QString &) { seen << e.number(); });
    // Caught here rather than by Qt Test, which would end the test function at the first escape
    // and, for a throw of something that is not an exception, report it without the row.
    QString escaped;
    try {
        errors.guard(procedure);
    } catch (const std::exception &e) {
        escaped = QStringLiteral("std::exception: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        escaped = QStringLiteral("something that is not a std::exception");
    }
    QVERIFY2(escaped.isEmpty(), qPrintable(QStringLiteral("escaped the guard: ") + escaped));
    QCOMPARE(seen, reported ? QList<int>{reported} : QList<int>{});
}

void tst_EventGuard::entryPoints_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("reported");
    // Every event procedure, reached the way a person reaches it, with the worst input it can get.
    QTest::newRow("Command1_Click 1e400") << Entry::Command1 << "1e400" << QList<int>{6};
    QTest::newRow("Command1_Click 3e9") << Entry::Command1 << "3e9" << QList<int>{6};
    QTest::newRow("Command1_Click -1e400") << Entry::Command1 << "-1e400" << QList<int>{6};
    QTest::newRow("Command3_Click idle") << Entry::Command3 << "75" << QList<int>{};
    QTest::newRow("Command4_Click 1e400") << Entry::Command4 << "1e400" << QList<int>{6};
    QTest::newRow("Command4_Click 2147483647") << Entry::Command4 << "2147483647" << QList<int>{6};
    QTest::newRow("Command5_Click 3e9") << Entry::Command5 << "3e9" << QList<int>{6};
    QTest::newRow("Command5_Click 2147483647") << Entry::Command5 << "2147483647" << QList<int>{6};
    QTest::newRow("Text1_Change 1e400") << Entry::Text1 << "1e400" << QList<int>{};
    QTest::newRow("Text1_Change 999.5") << Entry::Text1 << "999.5" << QList<int>{};
    QTest::newRow("VScroll1_Change End") << Entry::VScroll1End << "75" << QList<int>{};
    QTest::newRow("HScroll1_Change End") << Entry::HScroll1End << "75" << QList<int>{};
}

void tst_EventGuard::entryPoints()
{
    QFETCH(Entry, entry);
    QFETCH(QString, text);
    QFETCH(QList<int>, reported);
    support::Form1Fixture form;
    QVERIFY(form.open());
    form.Text1()->setText(text);
    switch (entry) {
    case Entry::Command1:
        form.Command1()->click();
        break;
    case Entry::Command3:
        form.Command3()->click();
        break;
    case Entry::Command4:
        form.Command4()->click();
        break;
    case Entry::Command5:
        form.Command5()->click();
        break;
    case Entry::Text1:
        break;
    case Entry::VScroll1End:
        form.VScroll1()->setFocus();
        QTest::keyClick(form.VScroll1(), Qt::Key_End);
        break;
    case Entry::HScroll1End:
        form.HScroll1()->setFocus();
        QTest::keyClick(form.HScroll1(), Qt::Key_End);
        break;
    }
    QVERIFY(finishSearches(form->commands()));
    QCOMPARE(form.errors(), reported);
    // The window goes on: the next number typed is analysed as ever.
    form.Text1()->setText(QStringLiteral("15"));
    QCOMPARE(form.txtSequenz()->Text(), coreListing(15));
    form.Command1()->click();
    QCOMPARE(form.txtSequenz()->Text(), coreListing(15));
    QCOMPARE(form.errors(), reported);
}

QTEST_MAIN(tst_EventGuard)
#include "tst_eventguard.moc"
