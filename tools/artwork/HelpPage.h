#pragma once

#include <QImage>
#include <QPoint>
#include <QStringList>

// The help picture the "Help" button shows: 730 x 2489 pixels, white, read top to bottom.
inline constexpr int kHelpWidth = 730;
inline constexpr int kHelpHeight = 2489;

// Pictures of the reader's own window that the help page explains.
struct HelpShots {
    QImage window;            // the whole window with a filled table
    QImage connection;        // status panel and connection list, a single meter chosen
    QImage panelDownloading;  // the status panel during a download
    QImage panelReady;        // ... after a complete download
    QImage panelError;        // ... after a download with a lost slot
    QImage table;             // the top of the filled table
    QImage exportButtons;     // the two export buttons
    QImage selectedTable;     // the table with a few rows selected
    QStringList csvLines;     // the first lines of the file that selection exports to
    QImage panelSortHint;     // the status panel with the mouse over a column header
    QImage sortedTable;       // the left part of the table after a click on that header
    QPoint sortedHeaderPoint; // where in sortedTable the mouse points at the header
};

// Takes the pictures from the window itself, offscreen, with a simulated meter and download.
HelpShots takeHelpShots();

// Draws the page in full colour (QImage::Format_RGB32).
QImage drawHelpPage(const HelpShots& shots);
