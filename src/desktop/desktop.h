#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>

class QWidget;

// What the program does differently on the desktop it is built for. The Linux desktop (X11 and
// Wayland, AT-SPI over D-Bus, fontconfig), Windows and the browser (WebAssembly) each have one
// implementation file; the build picks one, so nothing else in the program asks which desktop it
// runs on.
namespace rt::desktop {

// Names the program to the desktop, so that the desktop matches its window to the menu entry and
// icon: the X window class and the Wayland app id on Linux. appId is the menu entry's name.
void IdentifyProgram(const char *appId);

// Installed faces with the widths of the Windows fonts the window was designed with, tried after
// the designed face in this order, so the fixed layout holds its captions and the choice is never
// left to a generic family (on a bare Linux system a monospace face).
QStringList SerifFaces();
QStringList SansFaces();
// The faces for "MS Sans Serif", the classic dialog font, before the sans faces above.
QStringList DialogFaces();

// Makes the faces above available where the platform has no fonts of its own to offer.
void PrepareFonts();

// Shows a runtime error's report over parent and calls `closed` once the user has closed it. On
// the desktops a modal box that returns closed; in the browser, which cannot wait inside an event
// procedure, the box shows and this returns at once.
void ShowReport(QWidget *parent, const QString &title, const QString &text, const std::function<void()> &closed);

// Whether a file the user saves is handed to the browser as a download rather than written
// where a save dialog lets the user choose.
bool SavesByDownload();
// Hands the bytes to the browser to save under the name suggested.
void Download(const QByteArray &bytes, const QString &name);

// Called with main's exit code once the window is gone; returns it, or ends the process there where
// the windowing system's client could hang as it is taken down.
int LeaveAfterWindowClosed(int code);

} // namespace rt::desktop
