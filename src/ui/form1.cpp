#include "ui/form1.h"

#include "controls/accessible.h"
#include "controls/commandbutton.h"
#include "rules/numrules.h"
#include "ui/application.h"
#include "ui/chartframe.h"
#include "ui/fonts.h"
#include "ui/result_menus.h"
#include "ui/stopsign.h"

#include <QFont>
#include <QPalette>
#include <QScrollBar>

#include <utility>

namespace ui {

namespace {

constexpr double ChartBorderTwips = 30;

void setColour(QWidget *w, QPalette::ColorRole role, std::int32_t rgb)
{
    QPalette p = w->palette();
    p.setColor(role, rt::Canvas::toQColor(rgb));
    w->setPalette(p);
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QFont &font)
{
    auto *b = new rt::CommandButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(font);
    return b;
}

} // namespace

Form1::Form1(rt::ScreenSize screen, commands::SearchOptions options, QWidget *parent) : QWidget(parent), errors_(this)
{
    // Before any control exists, so that each is asked for its accessible object only afterwards.
    rt::InstallAccessibleRoles();
    rt::SetAccessibleRole(this, QAccessible::Window);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Summenleiter"));
    setWindowIcon(AppIcon());
    const double tpp = rt::TwipsPerPixel();
    resize(qRound(4680 / tpp), qRound(3195 / tpp));
    // One chart-frame unit is 100 twips across and 20 down, as designed; when the frame grows at
    // start-up the units keep their size and the frame's extent grows, so a pan step and a
    // canvas unit stay the same on every screen.
    chartUnits_ = rt::Units{100, 20, 0, 0};

    createControls();
    for (rt::PacedView *view : std::initializer_list<rt::PacedView *>{Text1, txtSequenz, picGraph, HScroll1, VScroll1})
        view->setPacer(pacer_);
    for (auto &[widget, p] : placements_)
        p->setPacer(pacer_);
    commands_ = std::make_unique<commands::Commands>(
        commands::Controls{*Text1, *txtSequenz, *picGraph, placement(picGraph), *HScroll1}, state_, rnd_, errors_,
        pacer_, options);
    wireEvents();
    new ResultMenus(this, picContainer, picGraph, txtSequenz);
    errors_.guard([&] { Form_Load(screen); });
    txtSequenz->setFocus();
}

Form1::~Form1() = default;

core::AnalysisState &Form1::state()
{
    return state_;
}

rt::Placement &Form1::placement(const QWidget *control)
{
    return const_cast<rt::Placement &>(std::as_const(*this).placement(control));
}

const rt::Placement &Form1::placement(const QWidget *control) const
{
    for (const auto &[widget, p] : placements_)
        if (widget == control)
            return *p;
    // A control the window does not place is a mistake in the program, not in anyone's input.
    qFatal("Form1::placement: %s has no placement",
           qPrintable(control ? control->objectName() : QStringLiteral("null")));
}

float Form1::ScaleWidth() const
{
    const double inner = placement(picContainer).Width() - 2 * ChartBorderTwips;
    return static_cast<float>(inner / chartUnits_.twipsPerUnitX);
}

float Form1::ScaleHeight() const
{
    const double inner = placement(picContainer).Height() - 2 * ChartBorderTwips;
    return static_cast<float>(inner / chartUnits_.twipsPerUnitY);
}

void Form1::createControls()
{
    const QString times = QStringLiteral("Times New Roman");
    auto place = [this](QWidget *w, const rt::Units &u, float l, float t, float wd, float h) {
        placements_.emplace_back(w, std::make_unique<rt::Placement>(*w, u, l, t, wd, h));
    };

    lblProg = new QLabel(QStringLiteral("Dieses Programm ermittelt alle Darstellungen von n als Summe "
                                        "aufeinanderfolgender Zahlen"),
                         this);
    lblProg->setObjectName(QStringLiteral("lblProg"));
    lblProg->setFont(DesignedFont(times, 15.75, true));
    lblProg->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblProg->setWordWrap(true);
    lblProg->setAutoFillBackground(true);
    setColour(lblProg, QPalette::Window, rt::RGB(0, 192, 192));
    setColour(lblProg, QPalette::WindowText, rt::RGB(255, 255, 128));
    place(lblProg, windowUnits_, 360, 240, 9855, 495);

    auto *chartFrame = new ChartFrame(this);
    picContainer = chartFrame;
    // Roles as the classic desktop's screen readers know these controls, given before anything
    // asks for them: the window a frame, the two frames groups inside it, the line a separator,
    // the canvas a picture.
    rt::SetAccessibleRole(picContainer, QAccessible::Grouping);
    picContainer->setObjectName(QStringLiteral("picContainer"));
    picContainer->setFocusPolicy(Qt::StrongFocus);
    place(picContainer, windowUnits_, 360, 1560, 9375, 1215);

    picGraph = new rt::Canvas(chartFrame->inner());
    rt::SetAccessibleRole(picGraph, QAccessible::Graphic);
    picGraph->setObjectName(QStringLiteral("picGraph"));
    picGraph->setFocusPolicy(Qt::StrongFocus);
    picGraph->setBackColor(rt::RGB(128, 255, 255));
    place(picGraph, chartUnits_, 0, 0, 93.15f, 30.75f);

    HScroll1 = new rt::ScrollBar(Qt::Horizontal, chartFrame->inner());
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    HScroll1->setMin(0);
    HScroll1->setMax(900);
    HScroll1->setValue(0);
    HScroll1->setSmallChange(1);
    HScroll1->setLargeChange(10);
    place(HScroll1, chartUnits_, 0, 36, 73.35f, 18.75f);
    chartFrame->showFocusOf(picGraph);

    Frame1 = new QFrame(this);
    rt::SetAccessibleRole(Frame1, QAccessible::Grouping);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(Frame1, windowUnits_, 3480, 4200, 5055, 4455);

    Text2 = new QLineEdit(QStringLiteral("n = "), Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(DesignedFont(times, 20.25));
    Text2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text2->setReadOnly(true);
    setColour(Text2, QPalette::Base, rt::RGB(255, 255, 128));
    place(Text2, frameUnits_, 120, 240, 1095, 615);

    Text1 = new rt::TextBox(QStringLiteral("75"), Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(DesignedFont(times, 20.25));
    Text1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    setColour(Text1, QPalette::Base, rt::RGB(255, 255, 128));
    place(Text1, frameUnits_, 1320, 240, 3015, 645);

    VScroll1 = new rt::ScrollBar(Qt::Vertical, Frame1);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setFocusPolicy(Qt::StrongFocus);
    VScroll1->setMin(1000);
    VScroll1->setMax(3);
    VScroll1->setValue(75);
    VScroll1->setSmallChange(1);
    VScroll1->setLargeChange(1);
    place(VScroll1, frameUnits_, 4440, 240, 495, 1455);

    Command1 = button(Frame1, "Command1", QStringLiteral("graph. Darstellung anpassen"),
                      DesignedFont(QStringLiteral("MS Sans Serif"), 13.5));
    place(Command1, frameUnits_, 120, 960, 4215, 735);

    Line1 = new QFrame(Frame1);
    rt::SetAccessibleRole(Line1, QAccessible::Separator);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setAutoFillBackground(true);
    setColour(Line1, QPalette::Window, rt::RGB(0, 0, 0));
    place(Line1, frameUnits_, 360, 2280, 4320, static_cast<float>(rt::TwipsPerPixel()));

    Label1 = new QLabel(QStringLiteral("weiterspringen zur"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(DesignedFont(times, 15.75));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setColour(Label1, QPalette::WindowText, rt::RGB(0, 0, 255));
    place(Label1, frameUnits_, 240, 2640, 3135, 375);

    Command4 = button(Frame1, "Command4", QStringLiteral("nächsten halbierbaren Sequenz"), DesignedFont(times, 12));
    place(Command4, frameUnits_, 120, 3120, 3735, 495);
    Command5 = button(Frame1, "Command5", QStringLiteral("nächsten Stelle  mit zwei h. S."), DesignedFont(times, 12));
    place(Command5, frameUnits_, 120, 3720, 3735, 495);

    Command3 = button(Frame1, "Command3", QString(), font());
    Command3->setIcon(QIcon(StopSignPixmap()));
    Command3->setIconSize(QSize(24, 23));
    Command3->setToolTip(QStringLiteral("anhalten"));
    place(Command3, frameUnits_, 3960, 3120, 975, 1095);

    txtSequenz = new rt::ListingBox(this);
    txtSequenz->setObjectName(QStringLiteral("txtSequenz"));
    txtSequenz->setFont(DesignedFont(times, 14.25, true));
    txtSequenz->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    place(txtSequenz, windowUnits_, 600, 3120, 2535, 7095);

    announcer_ = new Announcer(this);

    describe();
    for (QWidget *w : {static_cast<QWidget *>(lblProg), static_cast<QWidget *>(Frame1), static_cast<QWidget *>(Line1),
                       static_cast<QWidget *>(Label1)})
        w->setFocusPolicy(Qt::NoFocus);
    const QWidget *order[] = {txtSequenz, VScroll1, Command1,     Text1,    Text2,   Command4,
                              Command5,   Command3, picContainer, HScroll1, picGraph};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(const_cast<QWidget *>(order[i]), const_cast<QWidget *>(order[i + 1]));
}

void Form1::describe()
{
    // What a screen reader says of each control. A button that shows a caption is named by it, so
    // that whoever sees the caption can find the button under it (a screen reader's search, speech
    // control); the stop sign shows only a picture and needs a name of its own.
    const struct {
        QWidget *control;
        const char *name;
        const char *description;
    } texts[] = {
        {this, "Summenleiter", "Zerlegt eine Zahl in Summen aufeinanderfolgender Zahlen"},
        {picContainer, "Diagramm", "Die Summen als farbige Balken über dem Zahlenstrahl"},
        {picGraph, "Balkendiagramm der Summen",
         "Jede Summe ist ein Balken über den Zahlen, die sie enthält, beschriftet mit erster und letzter Zahl"},
        {HScroll1, "Diagramm verschieben", "Verschiebt das Diagramm nach links und rechts"},
        {Frame1, "Eingabe und Suche", ""},
        {Text2, "Beschriftung n", ""},
        {Text1, "Zahl n", "Die zu zerlegende Zahl; von 3 bis 999 wird sie beim Tippen sofort zerlegt"},
        {VScroll1, "Zahl n einstellen", "Erhöht oder verringert n um 1, von 3 bis 1000"},
        {Command1, "graph. Darstellung anpassen", "Zerlegt die Zahl im Eingabefeld und passt das Diagramm an"},
        {Command4, "nächsten halbierbaren Sequenz",
         "Sucht ab n aufwärts die nächste Zahl mit mindestens einem halbierbaren Paar"},
        {Command5, "nächsten Stelle  mit zwei h. S.",
         "Sucht ab n aufwärts die nächste Zahl mit mindestens zwei halbierbaren Paaren"},
        {Command3, "Anhalten", "Hält eine laufende Suche an"},
        {txtSequenz, "Liste der Summen",
         "Alle Darstellungen von n als Summe aufeinanderfolgender Zahlen und die halbierbaren Paare"},
    };
    for (const auto &t : texts) {
        t.control->setAccessibleName(QString::fromUtf8(t.name));
        t.control->setAccessibleDescription(QString::fromUtf8(t.description));
    }
    // The listing's own scroll bar, which Qt leaves nameless.
    txtSequenz->verticalScrollBar()->setAccessibleName(QStringLiteral("Liste der Summen blättern"));
    // The heading and the caption over the search buttons are read as what they say.
    lblProg->setAccessibleName(lblProg->text());
    Label1->setAccessibleName(Label1->text());
    // The caption over the search buttons labels the first of them (a label has one buddy).
    Label1->setBuddy(Command4);
    // The caption box names the number box.
    rt::SetAccessibleLabel(Text2, Text1);
}

void Form1::wireEvents()
{
    // Every event procedure runs inside the error guard: an error is reported and the window
    // goes on, and nothing is thrown through Qt's event loop.
    const auto guarded = [this](auto procedure) { return [this, procedure] { errors_.guard(procedure); }; };
    connect(Command1, &QPushButton::clicked, this, guarded([this] {
                const std::uint64_t before = commands_->passes();
                commands_->Command1_Click();
                announcePass(before);
            }));
    connect(Command3, &QPushButton::clicked, this, guarded([this] { commands_->Command3_Click(); }));
    connect(Command4, &QPushButton::clicked, this, guarded([this] { commands_->Command4_Click(); }));
    connect(Command5, &QPushButton::clicked, this, guarded([this] { commands_->Command5_Click(); }));
    connect(commands_.get(), &commands::Commands::searchEnded, this, &Form1::searchEnded);
    Text1->setChangeProcedure(guarded([this] { Text1_Change(); }));
    connect(VScroll1, &rt::ScrollBar::change, this, guarded([this] { VScroll1_Change(); }));
    connect(HScroll1, &rt::ScrollBar::change, this, guarded([this] { HScroll1_Change(); }));
    connect(HScroll1, &rt::ScrollBar::scroll, this, guarded([this] { HScroll1_Scroll(); }));
}

} // namespace ui
