// The canvas's image as an SVG document, parsed back: every line, box and text of the records
// where the canvas paints them, in the order drawn, with the texts as text.
#include "runtime/canvas_svg.h"
#include "rules/numrules.h"

#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Element {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
    double number(const char *attribute) const { return attributes.value(QLatin1String(attribute)).toDouble(); }
    QString value(const char *attribute) const { return attributes.value(QLatin1String(attribute)).toString(); }
};

// The drawing elements in document order, and whether the document is well formed.
std::vector<Element> parse(const std::string &svg, Element *root = nullptr)
{
    std::vector<Element> elements;
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        Element e{xml.name().toString(), xml.attributes(), {}};
        if (e.name == QLatin1String("svg") && root)
            *root = e;
        if (e.name == QLatin1String("text"))
            e.text = xml.readElementText();
        if (e.name == QLatin1String("line") || e.name == QLatin1String("rect") || e.name == QLatin1String("text"))
            elements.push_back(e);
    }
    if (xml.hasError())
        qWarning() << xml.errorString();
    return xml.hasError() ? std::vector<Element>{} : elements;
}

rt::CanvasLook look(int width, int height)
{
    rt::CanvasLook l;
    l.width = width;
    l.height = height;
    l.backColour = rt::RGB(128, 255, 255);
    l.fontFamily = "'Liberation Sans', sans-serif";
    l.fontPixelSize = 12;
    l.ascent = 11;
    return l;
}

} // namespace

class tst_CanvasSvg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chartOfRecords();
    void emptyImage();
    void textIsEscaped();
};

void tst_CanvasSvg::chartOfRecords()
{
    // A chart as a pass draws it: a grid, then bars, each with its label at its top-left corner.
    rt::CanvasImage image;
    image.Cls();
    image.Scale(0, 0, 85, 10);
    image.VerticalLines(0, 75, 0, 10, rt::RGB(100, 100, 200));
    image.LineBox(23, 2, 26, 3, rt::RGB(10, 20, 30));
    image.setCurrentX(23);
    image.setCurrentY(2);
    image.setForeColor(rt::RGB(255, 255, 255));
    image.Print({24.0, "-", 26.0});
    image.LineBox(74, 1, 75, 2, rt::RGB(200, 0, 100));
    image.Line(0, 5, 85, 5, rt::RGB(1, 2, 3));

    Element root;
    const std::vector<Element> elements = parse(rt::CanvasSvg(image, look(850, 200)), &root);
    QCOMPARE(root.value("width"), QStringLiteral("850"));
    QCOMPARE(root.value("height"), QStringLiteral("200"));
    // The ground, 76 grid lines, a bar, its label, a bar, a line: as many as the records draw.
    QCOMPARE(int(elements.size()), 1 + 76 + 1 + 1 + 1 + 1);
    QCOMPARE(elements[0].name, QStringLiteral("rect"));
    QCOMPARE(elements[0].value("fill"), QStringLiteral("#80ffff"));
    int lines = 0;
    for (int i = 1; i <= 76; ++i) {
        const Element &grid = elements[std::size_t(i)];
        QCOMPARE(grid.name, QStringLiteral("line"));
        QCOMPARE(grid.number("x1"), (i - 1) * 10 + 0.5);
        QCOMPARE(grid.value("stroke"), QStringLiteral("#6464c8"));
        ++lines;
    }
    QCOMPARE(lines, 76);
    const Element &bar = elements[77];
    QCOMPARE(bar.name, QStringLiteral("rect"));
    QCOMPARE(bar.number("x"), 230.0);
    QCOMPARE(bar.number("y"), 40.0);
    QCOMPARE(bar.number("width"), 30.0);
    QCOMPARE(bar.number("height"), 20.0);
    QCOMPARE(bar.value("fill"), QStringLiteral("#0a141e"));
    const Element &label = elements[78];
    QCOMPARE(label.name, QStringLiteral("text"));
    QCOMPARE(label.text, QStringLiteral(" 24 - 26 "));
    QCOMPARE(label.number("x"), 230.0);
    QCOMPARE(label.number("y"), 40.0 + 11);
    QCOMPARE(label.value("fill"), QStringLiteral("#ffffff"));
    // Drawn after the label, the next bar comes after it in the document too.
    QCOMPARE(elements[79].name, QStringLiteral("rect"));
    QCOMPARE(elements[79].value("fill"), QStringLiteral("#c80064"));
    QCOMPARE(elements[80].name, QStringLiteral("line"));
    QCOMPARE(elements[80].number("x2"), 850.5);
}

void tst_CanvasSvg::emptyImage()
{
    rt::CanvasImage image;
    image.Cls();
    const std::vector<Element> elements = parse(rt::CanvasSvg(image, look(100, 50)));
    QCOMPARE(int(elements.size()), 1);
    QCOMPARE(elements[0].number("width"), 100.0);
}

void tst_CanvasSvg::textIsEscaped()
{
    rt::CanvasImage image;
    image.Scale(0, 0, 10, 10);
    image.Print(std::string("a < b & \"c\" > d \xC3\xA4"));
    rt::CanvasLook l = look(100, 100);
    l.fontFamily = "A&B";
    const std::vector<Element> elements = parse(rt::CanvasSvg(image, l));
    QCOMPARE(int(elements.size()), 2);
    QCOMPARE(elements[1].text, QStringLiteral("a < b & \"c\" > d \u00E4"));
}

QTEST_APPLESS_MAIN(tst_CanvasSvg)
#include "tst_canvassvg.moc"
