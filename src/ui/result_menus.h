#pragma once

#include "runtime/canvas_image.h"
#include "runtime/canvas_svg.h"

#include <QImage>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace rt {
class Canvas;
class ListingBox;
} // namespace rt

namespace ui {

// The results taken out of the window: the chart copied or saved as a picture, the listing
// saved as text. The chart's menu comes with a right click on the chart or its frame, or from the
// keyboard's context-menu key; Ctrl+C copies while the chart has the focus. The listing's menu is
// the text box's usual one with a save entry added.
class ResultMenus : public QObject {
    Q_OBJECT
public:
    ResultMenus(QWidget *window, QWidget *chartFrame, rt::Canvas *canvas, rt::ListingBox *listing);

    // The chart on the clipboard, as an image at the screen's scale.
    void copyChart();
    // Asks where, then writes PNG or SVG by the chosen file type.
    void saveChart();
    void saveListing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showChartMenu(const QPoint &globalPos);
    void showListingMenu(const QPoint &viewportPos);
    void failed(const QString &path, const QString &why);

    QWidget *window_;
    QWidget *chartFrame_;
    rt::Canvas *canvas_;
    rt::ListingBox *listing_;
    QAction *copyChart_;
    QAction *saveChart_;
    QString folder_;
};

// The file types of a saved chart.
enum class ChartFormat { Png, Svg };

// The whole canvas as it was when taken, the parts out of view included: a search may go on
// while the user chooses where to save it.
struct ChartSnapshot {
    // The picture at twice the screen's scale, so that a printed worksheet shows it sharp.
    static ChartSnapshot of(const rt::Canvas &canvas, qreal screenScale);
    // A PNG of the picture or an SVG of the records; empty when the picture could not be made.
    QByteArray bytes(ChartFormat format) const;
    // Writes them. Returns an empty text, or why they could not be written.
    QString write(ChartFormat format, const QString &path) const;

    QImage picture;
    rt::CanvasImage image;
    rt::CanvasLook look;
};

// Writes a listing box's text as UTF-8 with the platform's line ends. Returns an empty text, or
// why it could not be written.
QString SaveListing(const QString &text, const QString &path);

} // namespace ui
