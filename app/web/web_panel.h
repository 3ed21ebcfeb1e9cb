#pragma once
// The web panel of the main window: the browser webLink inside pnlWeb, the
// right-click filter AppEvent1 and the start of NavigateThr.
//
// The main window calls SetupWebLink(pnlWeb) while it builds its controls and
// StartNavigateThr(webLink) as the last step of its show.

#include <QString>

class QWebEngineView;
class QWidget;

// Path of the remote page on the maker's site.
inline constexpr char16_t RemotePagePath[] = u"/rs/RiLi.htm";

// Sets the browser's process switches that must be in place before the first
// browser is made: Chromium keeps off the network on its own (no background
// requests, component updates or pings), and, only when the program runs as
// root, its sandbox and GPU are switched off (Chromium refuses to run as root
// with its sandbox; such runs are containers and CI without a GPU). Switches the
// user set already are kept. SetupWebLink calls it; calling it again is harmless.
void PrepareBrowserEnvironment();

// Creates webLink, a 2000 x 841 browser at (-11, -16) inside pnlWeb (which clips
// it, so only the 300 x 250 window starting 11 pixels right of and 16 pixels
// below its corner shows), and installs AppEvent1 on the application. The
// filter is a child of webLink (object name "AppEvent1") and goes with it.
QWebEngineView* SetupWebLink(QWidget* pnlWeb);

// The base address of the maker's site: the first line of "data\site.ini"
// (GBK), trimmed. Empty when the file is missing or its first line is empty.
QString ReadSiteBase();

// The remote page's address for a base address: the base without trailing "/"
// plus RemotePagePath. A base without a scheme is taken as http. Empty for a
// base that is not an http or https address with a host, or that carries a
// query or fragment; the panel then shows the local page.
QString RemotePageAddress(const QString& base);

// Program directory + "source\Navigate\default.htm".
QString LocalPagePath();

// Decides what webLink shows, once the window holding it is on the screen (its
// first frame painted; a second at the latest), so the browser engine's start
// never delays the window. Without a usable base address the local page is
// loaded then (nothing when it is missing) and no thread is made. Otherwise
// NavigateThr is started; it hands its choice to webLink through a queued
// signal, deletes itself when done, and is asked to stop (and awaited, a few
// tens of milliseconds) when the application quits. A thread that cannot be
// made leaves the panel white; nothing is reported. Only the first call acts.
void StartNavigateThr(QWebEngineView* webLink);
