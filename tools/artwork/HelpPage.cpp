#include "HelpPage.h"

#include "Drawings.h"
#include "Style.h"
#include "WindowShots.h"
#include "app/Controls.h"
#include "app/Form1.h"
#include "export/CsvExport.h"
#include "grid/CellTable.h"
#include "qt/Grid.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTextDocument>

#include <memory>
#include <vector>

namespace {

constexpr int kMargin = 24;
constexpr int kContentWidth = kHelpWidth - 2 * kMargin;
constexpr int kBodyPixels = 16;
// Space between a picture of the window and the control column's neighbours.
constexpr int kCropMargin = 8;

// The top of the table: header row and the first rows, cut to the help page's width.
QRect tableArea(WindowShots& shots, int rows, int width) {
    Grid& grid = shots.form().fgMem();
    auto* view = grid.findChild<QTableView*>();
    const QRect area = shots.areaOf(grid);
    const int height = view->horizontalHeader()->height() + rows * view->rowHeight(0) + 1;
    return QRect(area.topLeft(), QSize(width, height));
}

// A stretch of the control column from one control's top to another's bottom.
QRect columnArea(WindowShots& shots, const QWidget& top, const QWidget& bottom) {
    const QRect column = shots.areaOf(shots.form().cExport(0));
    const int y0 = shots.areaOf(top).top() - kCropMargin;
    const int y1 = shots.areaOf(bottom).bottom() + kCropMargin;
    return QRect(column.left() - kCropMargin, y0, column.width() + 2 * kCropMargin, y1 - y0 + 1);
}

// Caption, panel frame and both status lines; the frame reaches a little below the detail line.
QRect panelArea(WindowShots& shots) {
    QRect r = columnArea(shots, shots.form().label1(0), shots.form().lStatus(1));
    r.setBottom(shots.areaOf(shots.form().label1(1)).top() - 4);
    return r;
}

QRect listArea(WindowShots& shots) {
    return columnArea(shots, shots.form().label1(0), shots.form().lComPorts());
}

constexpr int kSelectedFirst = 3;
constexpr int kSelectedLast = 5;
constexpr int kSortColumn = 4;
constexpr int kTableRows = 7;
// The first columns of the table, Slot# to Measurement Value, in pixels.
constexpr int kSortedWidth = 500;

// One section of the page, drawn on its own sheet and cut to the height it used.
class Sheet {
public:
    Sheet() : m_image(kHelpWidth, 1400, QImage::Format_RGB32) {
        m_image.fill(Qt::white);
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing);
        m_painter->setRenderHint(QPainter::TextAntialiasing);
    }

    QPainter& painter() { return *m_painter; }
    int y = 0;

    void heading(int number, const QString& title) {
        QPainter& p = *m_painter;
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(style::kBrand);
        p.drawEllipse(QPointF(kMargin + 15, y + 17), 15, 15);
        p.setPen(Qt::white);
        p.setFont(style::windowFont(19, true));
        p.drawText(QRectF(kMargin, y + 2, 30, 30), Qt::AlignCenter, QString::number(number));
        p.setPen(style::kBrand);
        p.setFont(style::windowFont(24, true));
        p.drawText(QRectF(kMargin + 42, y, kContentWidth - 42, 34),
                   Qt::AlignLeft | Qt::AlignVCenter, title);
        p.setPen(QPen(style::kRule, 1));
        p.drawLine(QPointF(kMargin, y + 39.5), QPointF(kMargin + kContentWidth, y + 39.5));
        p.restore();
        y += 48;
    }

    // Rich text (a little HTML) in the body font; returns its bottom.
    int text(const QString& html, int left, int top, int width, int pixels = kBodyPixels) {
        QTextDocument doc;
        doc.setDefaultFont(style::windowFont(pixels));
        doc.setDocumentMargin(0);
        doc.setDefaultStyleSheet(QStringLiteral("body { color: #282828; } b { color: #164a80; }"));
        doc.setHtml(QStringLiteral("<body>") + html + QStringLiteral("</body>"));
        doc.setTextWidth(width);
        m_painter->save();
        m_painter->translate(left, top);
        doc.drawContents(m_painter.get());
        m_painter->restore();
        return top + static_cast<int>(std::ceil(doc.size().height()));
    }
    // A paragraph across the content width at the cursor.
    void paragraph(const QString& html) { y = text(html, kMargin, y, kContentWidth) + 12; }

    // A picture of the window, with a thin frame; returns the framed rectangle.
    QRect shot(const QImage& image, QPoint at) {
        const QRect framed(at, image.size() + QSize(2, 2));
        m_painter->save();
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->drawImage(at + QPoint(1, 1), image);
        m_painter->setPen(QColor(150, 156, 166));
        m_painter->setBrush(Qt::NoBrush);
        m_painter->drawRect(framed.adjusted(0, 0, -1, -1));
        m_painter->restore();
        return framed;
    }

    // A small caption under or beside a picture.
    void caption(const QString& textLine, const QRectF& area,
                 Qt::Alignment align = Qt::AlignHCenter | Qt::AlignTop) {
        m_painter->save();
        m_painter->setPen(style::kMuted);
        m_painter->setFont(style::windowFont(15));
        m_painter->drawText(area, align | Qt::TextWordWrap, textLine);
        m_painter->restore();
    }

    QImage finish() {
        m_painter.reset();
        return m_image.copy(0, 0, kHelpWidth, y);
    }

private:
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
};

QImage titleBlock() {
    Sheet s;
    QPainter& p = s.painter();
    p.setPen(style::kBrand);
    p.setFont(style::windowFont(30, true));
    p.drawText(QRect(kMargin, 14, kContentWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Dorvalix QT570R data reader: Help"));
    s.y = 58;
    s.paragraph(QStringLiteral(
        "Read the measurements stored in your QT570R vibration meter into a table, save them "
        "as a CSV file for a spreadsheet, and sort them. Scroll down for each step; click "
        "<b>Help</b> again to go back to the table."));
    p.setPen(Qt::NoPen);
    p.setBrush(style::kAccent);
    p.drawRect(QRect(kMargin, s.y, kContentWidth, 3));
    s.y += 3;
    return s.finish();
}

QImage connectSection(const HelpShots& shots) {
    Sheet s;
    s.heading(1, QStringLiteral("Connect the meter"));
    s.paragraph(QStringLiteral(
        "Plug the meter's USB cable into the socket at the bottom of the meter and into a USB "
        "port of the computer, then switch the meter on. The computer sees the meter as a serial "
        "port (<i>Arduino USB Serial Light Adapter</i>). Plug it in before or after starting the "
        "reader."));
    QPainter& p = s.painter();
    constexpr double kScale = 0.9;
    const QPointF meterAt(kMargin + 70, s.y + 12);
    drawing::meter(p, meterAt, kScale, drawing::readingScreen);
    const QRectF laptop(kMargin + 300, s.y + 4, 360, 200);
    const QPointF port = drawing::computer(p, laptop, shots.window);
    drawing::cable(p, drawing::meterSocket(meterAt, kScale), port);
    s.caption(QStringLiteral("meter"), QRectF(kMargin, meterAt.y() + 150, 60, 20),
              Qt::AlignRight | Qt::AlignTop);
    s.caption(QStringLiteral("USB cable"), QRectF(kMargin + 150, s.y + 222, 140, 20));
    s.caption(QStringLiteral("computer with the reader"),
              QRectF(laptop.left(), s.y + 212, laptop.width(), 20));
    s.y += 246;
    return s.finish();
}

QImage chooseSection(const HelpShots& shots) {
    Sheet s;
    s.heading(2, QStringLiteral("Choose the meter"));
    const QRect framed = s.shot(shots.connection, QPoint(kMargin, s.y));
    const int left = framed.right() + 24;
    int bottom = s.text(
        QStringLiteral(
            "The list under <b>Connection:</b> shows each meter found. <b>A single meter is "
            "chosen by itself;</b> with more than one, click yours. The status panel then "
            "reads <b>Ready.</b> and the port, here <i>COM:181</i>.<br><br>"
            "Meter missing? Check the cable, then click <b>Connection:</b> to search again."),
        left, s.y, kMargin + kContentWidth - left);
    s.y = std::max(bottom, framed.bottom()) + 10;
    return s.finish();
}

QImage transferSection() {
    Sheet s;
    s.heading(3, QStringLiteral("Start the transfer on the meter"));
    s.paragraph(QStringLiteral(
        "The transfer is started on the meter; the reader just listens. The meter sends all "
        "100 memory slots and its calibration."));
    QPainter& p = s.painter();
    const QPointF meterAt(kMargin + 10, s.y + 14);
    constexpr double kScale = 0.9;
    const QRectF lcd = drawing::meter(p, meterAt, kScale, drawing::menuThumbnail);
    const QRectF large(kMargin + 180, s.y + 14, 220, 190);
    drawing::zoomLines(p, lcd, large);
    drawing::settingsMenu(p, large);

    const int stepsLeft = kMargin + 432;
    const int width = kMargin + kContentWidth - stepsLeft - 34;
    const QStringList steps{QStringLiteral("Press <b>MENU</b> to open the settings menu."),
                            QStringLiteral("Move to <b>Send data</b> with the arrow keys."),
                            QStringLiteral("Press <b>OK</b>. The reader shows the progress.")};
    int y = s.y + 18;
    for (int i = 0; i < steps.size(); ++i) {
        drawing::stepBadge(p, QPointF(stepsLeft + 12, y + 11), i + 1);
        y = s.text(steps[i], stepsLeft + 34, y, width) + 18;
    }
    s.y += static_cast<int>(drawing::kMeterHeight * kScale) + 24;
    return s.finish();
}

QImage downloadSection(const HelpShots& shots) {
    Sheet s;
    s.heading(4, QStringLiteral("Watch the download"));
    s.paragraph(QStringLiteral(
        "The status panel shows <b>Downloading...</b> and the progress; the buttons wait until "
        "it reads <b>Ready.</b> again. <b>Data check error.</b> means a slot was lost: start "
        "the transfer on the meter again."));
    const int gap = (kContentWidth - 3 * (shots.panelReady.width() + 2)) / 2;
    int x = kMargin;
    const QList<std::pair<QImage, QString>> panels{
        {shots.panelDownloading, QStringLiteral("under way")},
        {shots.panelReady, QStringLiteral("done: the table is filled")},
        {shots.panelError, QStringLiteral("a slot was lost: send again")}};
    int bottom = s.y;
    for (int i = 0; i < panels.size(); ++i) {
        const QRect framed = s.shot(panels[i].first, QPoint(x, s.y));
        s.caption(panels[i].second,
                  QRectF(framed.left() - 20, framed.bottom() + 6, framed.width() + 40, 40));
        bottom = framed.bottom() + 30;
        // The download ends in one of the last two panels.
        if (i == 1)
            drawing::arrow(s.painter(), QPointF(x - gap + 12, framed.center().y()),
                           QPointF(x - 12, framed.center().y()));
        if (i == 2)
            s.caption(QStringLiteral("or"), QRectF(x - gap, framed.center().y() - 10, gap, 20),
                      Qt::AlignCenter);
        x += framed.width() + gap;
    }
    s.y = bottom + 6;
    return s.finish();
}

QImage tableSection(const HelpShots& shots) {
    Sheet s;
    s.heading(5, QStringLiteral("The table of measurements"));
    s.paragraph(QStringLiteral(
        "One row for each of the meter's 100 memory slots: date and time, modes, value and "
        "unit, crest factor and filter. Scroll for more; <b>Clear table</b> empties it."));
    const QRect framed = s.shot(shots.table, QPoint(0, s.y));
    s.y = framed.bottom() + 14;
    return s.finish();
}

QImage exportSection(const HelpShots& shots) {
    Sheet s;
    s.heading(6, QStringLiteral("Export to a CSV file"));
    const QRect buttons = s.shot(shots.exportButtons, QPoint(kMargin, s.y));
    const int left = buttons.right() + 24;
    const int bottom =
        s.text(QStringLiteral("<b>Export Data (all)</b> saves all 100 rows. For some rows only, "
                              "select them in the table by dragging over them, then click "
                              "<b>Export Data (selection)</b>. Then choose a file name."),
               left, s.y, kMargin + kContentWidth - left);
    s.y = std::max(bottom, buttons.bottom()) + 14;
    const QRect table = s.shot(shots.selectedTable, QPoint(0, s.y));
    s.y = table.bottom() + 12;
    s.paragraph(QStringLiteral("The file holds the export time, the column names and one line "
                               "per row:"));
    QPainter& p = s.painter();
    const int lineHeight = 21;
    const QRect box(kMargin, s.y, kContentWidth,
                    static_cast<int>(shots.csvLines.size()) * lineHeight + 16);
    p.setPen(QPen(style::kRule, 1));
    p.setBrush(style::kPanel);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.setPen(style::kInk);
    p.setFont(style::windowFont(15));
    int y = box.top() + 8;
    for (const QString& line : shots.csvLines) {
        p.drawText(QRect(box.left() + 12, y, box.width() - 24, lineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, line);
        y += lineHeight;
    }
    s.y = box.bottom() + 14;
    return s.finish();
}

QImage sortSection(const HelpShots& shots) {
    Sheet s;
    s.heading(7, QStringLiteral("Sort by a column"));
    s.paragraph(QStringLiteral(
        "Point at a column header: the status panel tells how a click will sort. Click the "
        "header to sort the rows by that column; click it again to sort the other way. "
        "Numbers sort by value, dates and times in time order."));
    const QRect panel = s.shot(shots.panelSortHint, QPoint(kMargin / 3, s.y));
    s.caption(QStringLiteral("mouse over a header"),
              QRectF(panel.left(), panel.bottom() + 6, panel.width(), 24));
    const int tableLeft = kHelpWidth - shots.sortedTable.width() - 2;
    const QRect table = s.shot(shots.sortedTable, QPoint(tableLeft, s.y));
    drawing::arrow(s.painter(), QPointF(panel.right() + 10, panel.center().y()),
                   QPointF(tableLeft - 8, panel.center().y()));
    // Beside the header's text, so the pointer hides none of it.
    drawing::pointer(s.painter(),
                     table.topLeft() + QPoint(1, 1) + shots.sortedHeaderPoint + QPoint(42, 4),
                     true);
    s.caption(QStringLiteral("after the click: smallest value first"),
              QRectF(table.left(), table.bottom() + 6, table.width(), 24));
    s.y = table.bottom() + 34;
    return s.finish();
}

} // namespace

HelpShots takeHelpShots() {
    HelpShots shots;
    {
        WindowShots w;
        shots.connection = w.grab(listArea(w));
        w.feedUpTo(46);
        shots.panelDownloading = w.grab(panelArea(w));
        w.feedRest();
        shots.panelReady = w.grab(panelArea(w));
        shots.window = w.grab();
        shots.table = w.grab(tableArea(w, kTableRows, kHelpWidth - 2));
        shots.exportButtons = w.grab(columnArea(w, w.form().cExport(0), w.form().cExport(1)));

        w.selectRows(kSelectedFirst, kSelectedLast);
        shots.selectedTable = w.grab(tableArea(w, kSelectedLast + 1, kHelpWidth - 2));
        const Grid& grid = w.form().fgMem();
        const QByteArray csv =
            tableCsvBytes(QDateTime(QDate(2026, 3, 13), QTime(16, 45, 0)), grid.state(),
                          exportRange(1, grid.row(), grid.rowSel()));
        // Windows-1252 agrees with Latin-1 on every character the table holds.
        shots.csvLines = QString::fromLatin1(csv).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);

        w.selectRows(1, 1);
        w.hoverHeader(kSortColumn);
        shots.panelSortHint = w.grab(panelArea(w));
        w.clickHeader(kSortColumn);
        const QRect sorted = tableArea(w, 6, kSortedWidth);
        shots.sortedTable = w.grab(sorted);
        shots.sortedHeaderPoint = w.headerCentre(kSortColumn) - sorted.topLeft();
    }
    {
        WindowShots w;
        w.feedLosingSlot(57);
        shots.panelError = w.grab(panelArea(w));
    }
    return shots;
}

QImage drawHelpPage(const HelpShots& shots) {
    const std::vector<QImage> parts{
        titleBlock(),           connectSection(shots), chooseSection(shots), transferSection(),
        downloadSection(shots), tableSection(shots),   exportSection(shots), sortSection(shots)};
    constexpr int kTop = 10;
    constexpr int kBottom = 20;
    int used = kTop + kBottom;
    for (const QImage& part : parts)
        used += part.height();
    // What is left is shared out between the sections, so the last one ends near the bottom.
    const int spare = std::max(0, kHelpHeight - used);
    const int gaps = static_cast<int>(parts.size()) - 1;
    QImage page(kHelpWidth, kHelpHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    int y = kTop;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            y += spare / gaps + (static_cast<int>(i) <= spare % gaps ? 1 : 0);
        p.drawImage(QPoint(0, y), parts[i]);
        y += parts[i].height();
    }
    if (used > kHelpHeight)
        qWarning("The help page's content is %d pixels too long.", used - kHelpHeight);
    return page;
}
