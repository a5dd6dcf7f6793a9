#include "ui/result_menus.h"

#include "core/pair_sequence.h"
#include "controls/canvas.h"
#include "desktop/desktop.h"
#include "controls/listingbox.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>

namespace ui {

namespace {

const QString PngFilter = QStringLiteral("PNG-Bild (*.png)");
const QString SvgFilter = QStringLiteral("SVG-Grafik (*.svg)");
const QString TextFilter = QStringLiteral("Textdatei (*.txt)");

QString writeAll(const QString &path, const QByteArray &bytes)
{
    // Written aside and moved into place: a failed save leaves an older file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

QByteArray listingBytes(const QString &text)
{
    return QByteArray::fromStdString(core::WithPlatformLineEnds(text.toStdString()));
}

} // namespace

ChartSnapshot ChartSnapshot::of(const rt::Canvas &canvas, qreal scale)
{
    return {canvas.picture(2 * scale), canvas.image(), canvas.look()};
}

QByteArray ChartSnapshot::bytes(ChartFormat format) const
{
    if (format == ChartFormat::Svg)
        return QByteArray::fromStdString(rt::CanvasSvg(image, look));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !QImageWriter(&buffer, "png").write(picture))
        return {};
    return png;
}

QString ChartSnapshot::write(ChartFormat format, const QString &path) const
{
    const QByteArray data = bytes(format);
    if (data.isEmpty())
        return QStringLiteral("Das Bild ist zu gro\u00DF.");
    return writeAll(path, data);
}

QString SaveListing(const QString &text, const QString &path)
{
    return writeAll(path, listingBytes(text));
}

ResultMenus::ResultMenus(QWidget *window, QWidget *chartFrame, rt::Canvas *canvas, rt::ListingBox *listing)
    : QObject(window),
      window_(window),
      chartFrame_(chartFrame),
      canvas_(canvas),
      listing_(listing),
      copyChart_(new QAction(QStringLiteral("Diagramm kopieren"), this)),
      saveChart_(new QAction(QStringLiteral("Diagramm speichern unter \u2026"), this)),
      folder_(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
{
    copyChart_->setObjectName(QStringLiteral("copyChart"));
    saveChart_->setObjectName(QStringLiteral("saveChart"));
    copyChart_->setShortcut(QKeySequence::Copy);
    // Ctrl+C copies the chart only while the chart (frame, canvas or pan bar) has the focus; in
    // the listing and the number box it copies their text as ever.
    copyChart_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    chartFrame_->addAction(copyChart_);
    connect(copyChart_, &QAction::triggered, this, &ResultMenus::copyChart);
    // Queued: the save dialog runs once the menu has finished with the key or click that chose
    // the entry. Run from within it, a native dialog's own message loop could delete the menu
    // under the menu's feet.
    connect(saveChart_, &QAction::triggered, this, &ResultMenus::saveChart, Qt::QueuedConnection);
    // A right click on the canvas, which takes no menu of its own, goes on to its frame.
    chartFrame_->installEventFilter(this);

    listing_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listing_, &QWidget::customContextMenuRequested, this, &ResultMenus::showListingMenu);
}

bool ResultMenus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == chartFrame_ && event->type() == QEvent::ContextMenu) {
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        QPoint at = menuEvent->globalPos();
        if (menuEvent->reason() == QContextMenuEvent::Keyboard) {
            // The canvas may be far wider than its frame: the menu opens over the part in view.
            const QWidget *focus = canvas_->hasFocus() ? static_cast<QWidget *>(canvas_) : chartFrame_;
            const QRect shown = focus->visibleRegion().boundingRect();
            at = focus->mapToGlobal(shown.isEmpty() ? QPoint(0, 0) : shown.center());
        }
        showChartMenu(at);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// The menus pop up and return: the browser cannot wait inside an event procedure for a menu.
void ResultMenus::showChartMenu(const QPoint &globalPos)
{
    auto *menu = new QMenu(window_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("chartMenu"));
    menu->addAction(copyChart_);
    menu->addAction(saveChart_);
    menu->popup(globalPos);
}

void ResultMenus::showListingMenu(const QPoint &viewportPos)
{
    QMenu *menu = listing_->createStandardContextMenu(viewportPos);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("listingMenu"));
    menu->addSeparator();
    QAction *save = menu->addAction(QStringLiteral("Liste speichern unter \u2026"));
    save->setObjectName(QStringLiteral("saveListing"));
    connect(save, &QAction::triggered, this, &ResultMenus::saveListing, Qt::QueuedConnection);
    menu->popup(listing_->viewport()->mapToGlobal(viewportPos));
}

void ResultMenus::copyChart()
{
    QGuiApplication::clipboard()->setImage(canvas_->picture(canvas_->devicePixelRatioF()));
}

void ResultMenus::saveChart()
{
    const ChartSnapshot chart = ChartSnapshot::of(*canvas_, canvas_->devicePixelRatioF());
    if (rt::desktop::SavesByDownload()) {
        // The browser saves where its user lets it, as a PNG.
        if (const QByteArray png = chart.bytes(ChartFormat::Png); !png.isEmpty())
            rt::desktop::Download(png, QStringLiteral("Diagramm.png"));
        return;
    }
    QFileDialog dialog(window_, QStringLiteral("Diagramm speichern unter"), folder_);
    dialog.setObjectName(QStringLiteral("saveChartDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({PngFilter, SvgFilter});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter == SvgFilter ? QStringLiteral("svg") : QStringLiteral("png"));
    });
    dialog.selectFile(QStringLiteral("Diagramm.png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    folder_ = QFileInfo(path).absolutePath();
    // The name's ending decides; a name with another ending takes the chosen type.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool svg = suffix == QLatin1String("svg")
        || (suffix != QLatin1String("png") && dialog.selectedNameFilter() == SvgFilter);
    const QString why = chart.write(svg ? ChartFormat::Svg : ChartFormat::Png, path);
    if (!why.isEmpty())
        failed(path, why);
}

void ResultMenus::saveListing()
{
    const QString text = listing_->Text();
    if (rt::desktop::SavesByDownload()) {
        rt::desktop::Download(listingBytes(text), QStringLiteral("Liste.txt"));
        return;
    }
    QFileDialog dialog(window_, QStringLiteral("Liste speichern unter"), folder_);
    dialog.setObjectName(QStringLiteral("saveListingDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({TextFilter, QStringLiteral("Alle Dateien (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QStringLiteral("Liste.txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    folder_ = QFileInfo(path).absolutePath();
    const QString why = SaveListing(text, path);
    if (!why.isEmpty())
        failed(path, why);
}

void ResultMenus::failed(const QString &path, const QString &why)
{
    QMessageBox::warning(window_, QStringLiteral("Summenleiter"),
                         QStringLiteral("Die Datei \u201E%1\u201C lie\u00DF sich nicht schreiben: %2")
                             .arg(QDir::toNativeSeparators(path), why));
}

} // namespace ui
