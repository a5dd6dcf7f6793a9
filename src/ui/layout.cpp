// The start-up layout: the outer controls in proportion to the whole screen.
#include "ui/form1.h"

namespace ui {

void Form1::Form_Load(rt::ScreenSize screen)
{
    // Every formula runs in double precision in the order written; each control stores the
    // result in single precision, and later steps read back what the controls report.
    const double W = screen.width;
    const double H = screen.height;
    rt::Placement &label = placement(lblProg);
    rt::Placement &frame = placement(picContainer);
    rt::Placement &pan = placement(HScroll1);
    rt::Placement &canvas = placement(picGraph);
    rt::Placement &listing = placement(txtSequenz);
    rt::Placement &search = placement(Frame1);

    label.setLeft(W / 40);
    label.setWidth(W / 40 * 38);
    label.setTop(H / 20);
    label.setHeight(H / 20);
    frame.setLeft(W / 40);
    frame.setWidth(W / 40 * 38);
    frame.setTop(H / 10);
    frame.setHeight(H / 5);
    const double SW = ScaleWidth();
    const double SH = ScaleHeight();
    pan.setLeft(0);
    pan.setTop(SH / 10 * 8);
    pan.setHeight(SH / 5);
    pan.setWidth(SW);
    canvas.setLeft(0);
    canvas.setTop(0);
    canvas.setHeight(SH / 10 * 8);
    canvas.setWidth(1000);
    listing.setLeft(frame.Left());
    listing.setWidth(static_cast<double>(frame.Width()) / 4);
    listing.setTop(static_cast<double>(frame.Height()) + frame.Top());
    listing.setHeight(H / 10 * 6);
    search.setLeft(static_cast<double>(listing.Width()) + listing.Left() + 320);
    search.setTop(static_cast<double>(listing.Top()) + 320);
    listing.setTop(search.Top());
    commands_->Command1_Click();
}

} // namespace ui
