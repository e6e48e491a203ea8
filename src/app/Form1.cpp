#include "Form1.h"

#include "Clock.h"
#include "Controls.h"
#include "CsvExport.h"
#include "DecodeMemory.h"
#include "DeviceList.h"
#include "DeviceMonitor.h"
#include "Grid.h"
#include "HelpScroll.h"
#include "MemTable.h"
#include "MeterDiscovery.h"
#include "MeterLine.h"
#include "MouseCodes.h"
#include "ProgramControl.h"
#include "SerialPort.h"
#include "SlotTable.h"
#include "StatusTexts.h"
#include "TableExport.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QtDebug>

#include <cmath>

namespace {

using statustext::comText;

const QString kDownloading = QString::fromLatin1(statustext::kDownloading);
const QString kReady = QString::fromLatin1(statustext::kReady);

// Layout of the window, in twips.
constexpr int kClientWidth = 14640;
constexpr int kClientHeight = 6870;
constexpr int kTableLeft = 240;
constexpr int kTableTop = 240;
constexpr int kTableWidth = 11265;
// The help frame lies over the table and has its height.
constexpr int kTableHeight = static_cast<int>(helpscroll::kFrameHeightTwips);
constexpr int kHelpDesignTop = 4440;
constexpr int kHelpPictureTop = 840;
constexpr int kHelpPictureHeight = static_cast<int>(helpscroll::kPictureHeightTwips);
constexpr int kColumnLeft = 11760;
constexpr int kColumnWidth = 2415;

QFont windowFont(bool bold = false) {
    QFont f(QStringLiteral("Calibri"));
    f.setPointSizeF(9.75);
    f.setBold(bold);
    return f;
}

QFont gridFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(9.75);
    return f;
}

} // namespace

Form1::Form1(SerialPort& port, DeviceList& devices, Dialogs& dialogs, const Clock& clock,
             ProgramControl& program, double twipsPerPixel, DeviceMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_port(port), m_devices(devices), m_dialogs(dialogs), m_clock(clock),
      m_program(program), m_twipsPerPixel(twipsPerPixel) {
    buildControls();
    connect(&m_port, &SerialPort::comm, this, &Form1::MSComm1_OnComm);
    connect(&m_port, &SerialPort::lineLost, this, &Form1::lineLost);
    if (monitor)
        connect(monitor, &DeviceMonitor::devicesChanged, this, &Form1::devicesChanged);
}

Form1::~Form1() = default;

void Form1::place(QWidget* w, int left, int top, int width, int height) const {
    w->setGeometry(twips::toPixels(left, m_twipsPerPixel), twips::toPixels(top, m_twipsPerPixel),
                   twips::toPixels(width, m_twipsPerPixel),
                   twips::toPixels(height, m_twipsPerPixel));
}

void Form1::buildControls() {
    setWindowTitle(QStringLiteral(" Dorvalix QT570R data reader"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(twips::toPixels(kClientWidth, m_twipsPerPixel),
                 twips::toPixels(kClientHeight, m_twipsPerPixel));
    setFont(windowFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Button, QColor(240, 240, 240));
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);

    // Created bottom of the stack first, so each new control lies above the ones before it.
    L_Status[0] = new StatusLine(QStringLiteral("Ready"), this);
    place(L_Status[0], 11820, 1380, 2055, 240);
    Label1[0] = new CaptionLabel(QStringLiteral("Status:"), this);
    place(Label1[0], kColumnLeft, 1080, 735, 255);
    Label1[1] = new CaptionLabel(QStringLiteral("Connection:"), this);
    place(Label1[1], kColumnLeft, 2280, 990, 225);
    for (CaptionLabel* l : Label1)
        l->setFont(windowFont(true));
    L_Status[1] = new StatusLine(QStringLiteral("Ready"), this);
    place(L_Status[1], 11820, 1680, 2055, 240);

    Shape1 = new QFrame(this);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setLineWidth(1);
    Shape1->setFrameShadow(QFrame::Plain);
    QPalette outline = Shape1->palette();
    outline.setColor(QPalette::WindowText, Qt::black);
    Shape1->setPalette(outline);
    // An outline takes no mouse events: the window's background lies under it.
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(Shape1, kColumnLeft, 1320, kColumnWidth, 705);

    FG_Mem = new Grid(memtable::kRows, memtable::kCols, m_twipsPerPixel, this);
    FG_Mem->setFont(gridFont());
    place(FG_Mem, kTableLeft, kTableTop, kTableWidth, kTableHeight);

    L_COM_Ports = new QListWidget(this);
    L_COM_Ports->setSelectionMode(QAbstractItemView::SingleSelection);
    place(L_COM_Ports, kColumnLeft, 2520, kColumnWidth, 1155);

    C_Export[0] = new QPushButton(QStringLiteral("Export Data (all)"), this);
    place(C_Export[0], kColumnLeft, 4080, kColumnWidth, 555);
    C_Export[1] = new QPushButton(QStringLiteral("Export Data (selection)"), this);
    place(C_Export[1], kColumnLeft, 4680, kColumnWidth, 555);

    Picture1 = new QLabel(this);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/px417/logo.png")));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Picture1, kColumnLeft, 240, 2400, 600);

    C_Clear = new QPushButton(QStringLiteral("Clear table"), this);
    place(C_Clear, kColumnLeft, 5400, kColumnWidth, 555);
    C_Help = new QPushButton(QStringLiteral("Help"), this);
    place(C_Help, kColumnLeft, 6000, kColumnWidth, 555);

    P_Help[0] = new QWidget(this);
    P_Help[0]->setAutoFillBackground(true);
    place(P_Help[0], kTableLeft, kHelpDesignTop, kTableWidth, kTableHeight);
    // The help bitmap is decoded when the page is first shown: it is the largest picture the
    // program carries and most runs never open it.
    auto* picture = new QLabel(P_Help[0]);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    P_Help[1] = picture;
    place(P_Help[1], 0, kHelpPictureTop, kTableWidth, kHelpPictureHeight);
    VS_Help = new QScrollBar(Qt::Vertical, P_Help[0]);
    place(VS_Help, 10965, 0, 300, 6300);
    VS_Help->setRange(0, 0);
    VS_Help->setSingleStep(1);
    P_Help[0]->hide();

    FG_Data = new Grid(kSlotTableRows, kSlotTableCols, m_twipsPerPixel, this);
    FG_Data->setFont(gridFont());
    place(FG_Data, kTableLeft, kTableTop, kTableWidth, kTableHeight);
    FG_Data->hide();

    for (QPushButton* b : {C_Export[0], C_Export[1], C_Clear, C_Help})
        b->setAutoFillBackground(true);

    setTabOrder(FG_Data, L_COM_Ports);
    setTabOrder(L_COM_Ports, FG_Mem);
    setTabOrder(FG_Mem, C_Export[0]);
    setTabOrder(C_Export[0], C_Export[1]);
    setTabOrder(C_Export[1], C_Clear);
    setTabOrder(C_Clear, C_Help);
    setTabOrder(C_Help, VS_Help);

    connect(C_Clear, &QPushButton::clicked, this, &Form1::C_Clear_Click);
    connect(C_Help, &QPushButton::clicked, this, &Form1::C_Help_Click);
    connect(C_Export[0], &QPushButton::clicked, this, [this] { C_Export_Click(0); });
    connect(C_Export[1], &QPushButton::clicked, this, [this] { C_Export_Click(1); });
    connect(Label1[0], &CaptionLabel::clicked, this, [this] { Label1_Click(0); });
    connect(Label1[1], &CaptionLabel::clicked, this, [this] { Label1_Click(1); });
    connect(FG_Data, &Grid::clicked, this, &Form1::FG_Data_Click);
    connect(FG_Mem, &Grid::mouseMoved, this, &Form1::FG_Mem_MouseMove);
    connect(FG_Mem, &Grid::mouseReleased, this, &Form1::FG_Mem_MouseUp);
    connect(VS_Help, &QScrollBar::valueChanged, this, &Form1::VS_Help_Change);
    connect(VS_Help, &QScrollBar::sliderMoved, this, &Form1::VS_Help_Scroll);

    // A click on an entry runs port connection, also when the entry is already selected;
    // the user moving the selection with the keys runs it too. Focus alone only makes an
    // entry current, without selecting it, and so chooses nothing.
    connect(L_COM_Ports, &QListWidget::itemSelectionChanged, this, [this] {
        if (L_COM_Ports->selectedItems().isEmpty())
            return;
        m_listClickFromMouse = QGuiApplication::mouseButtons() != Qt::NoButton;
        L_COM_Ports_Click();
    });
    connect(L_COM_Ports, &QListWidget::itemClicked, this, [this] {
        if (!m_listClickFromMouse)
            L_COM_Ports_Click();
        m_listClickFromMouse = false;
    });
}

void Form1::Form_Load() {
    PixelTwipsY = static_cast<float>(m_twipsPerPixel);
    ComPort = -1;
    m_reception.resetFlags();
    ScanCOMports();
    if (m_ended)
        return;
    layoutSlotTable(FG_Data->state());
    SetupMemTable();

    P_Help[0]->move(twips::toPixels(kTableLeft, m_twipsPerPixel),
                    twips::toPixels(kTableTop, m_twipsPerPixel));
    const HelpScrollRange range = helpScrollRange(helpscroll::kFrameHeightTwips,
                                                  helpscroll::kPictureHeightTwips, PixelTwipsY);
    if (range.ok) {
        VS_Help->setMaximum(range.maximum);
        VS_Help->setPageStep(range.largeChange);
    }
}

void Form1::endProgram(int status) {
    m_ended = true;
    m_program.endNow(status);
}

bool Form1::downloading() const {
    return L_Status[0]->text() == kDownloading;
}

void Form1::ScanCOMports() {
    m_discoveryPending = false;
    // The list's own notifications stay quiet while it is rebuilt; a single meter is
    // connected explicitly below.
    {
        const QSignalBlocker blocker(L_COM_Ports);
        L_COM_Ports->clear();
    }
    const MeterScan scan = scanMeters(m_devices);
    {
        const QSignalBlocker blocker(L_COM_Ports);
        for (const MeterEntry& entry : scan.entries) {
            auto* item = new QListWidgetItem(entry.text, L_COM_Ports);
            item->setData(Qt::UserRole, entry.port);
        }
    }
    if (!scan.ok) {
        failWith(QStringLiteral("Scanports ") + scan.error, kTitle, Dialogs::Icon::None);
        return;
    }
    if (L_COM_Ports->count() == 1) {
        {
            const QSignalBlocker blocker(L_COM_Ports);
            L_COM_Ports->setCurrentRow(0);
        }
        L_COM_Ports_Click();
    }
}

void Form1::L_COM_Ports_Click() {
    if (m_port.portOpen())
        m_port.close();
    QListWidgetItem* item = L_COM_Ports->currentItem();
    if (!item) {
        connectionFailed(QStringLiteral("No meter chosen"));
        return;
    }
    const qint64 port = item->data(Qt::UserRole).toLongLong();
    if (port < -32768 || port > 32767) {
        connectionFailed(QStringLiteral("Port number out of range: %1").arg(port));
        return;
    }
    ComPort = static_cast<qint16>(port);
    m_port.setCommPort(ComPort);
    m_port.setSettings(kMeterLine);
    m_port.setInputLen(0);
    QString error;
    if (!m_port.open(&error)) {
        connectionFailed(error);
        return;
    }
    // Choosing a meter ends whatever transfer was under way, on this line or the last.
    m_reception.endTransfer();
    L_Status[0]->write(kReady);
    L_Status[1]->write(comText(ComPort));
    runPendingDiscovery();
}

void Form1::connectionFailed(const QString& reason) {
    const QString cr(QChar(13));
    // The box's fixed steps first; below them, after an empty line, the system's reason, which
    // is what tells a permission problem from a loose cable.
    const QString text = QStringList{QStringLiteral("Connection could not be established."),
                                     QStringLiteral("Please follow these steps:"),
                                     QStringLiteral("1. Disconnect USB cable from meter."),
                                     QStringLiteral("2. Disconnect USB cable from computer."),
                                     QStringLiteral("3. Reconnect USB cable to computer."),
                                     QStringLiteral("4. Reconnect USB cable to meter."),
                                     QStringLiteral("5. Restart software."),
                                     QString(),
                                     reason}
                             .join(cr);
    failWith(text, QStringLiteral("Connection error"), Dialogs::Icon::Critical);
}

void Form1::failWith(const QString& text, const QString& caption, Dialogs::Icon icon) {
    // Before the box: a reader started from a terminal shows the reason there at once.
    qWarning().noquote() << QString(text).replace(QChar(13), QChar(10));
    // Ended before the box: the box tells the user to replug, and the notices that brings
    // while it is open must not connect or fail a second time.
    m_ended = true;
    m_dialogs.message(text, caption, icon);
    endProgram(1);
}

void Form1::lineLost() {
    if (m_ended)
        return;
    m_reception.lineLost(*this);
    runPendingDiscovery();
}

void Form1::devicesChanged() {
    if (m_ended)
        return;
    if (downloading()) {
        m_discoveryPending = true;
        return;
    }
    rescanOnNotice();
}

void Form1::rescanOnNotice() {
    // A notice about some other device leaves the open meter alone: closing and reopening its
    // line would lose a transfer the user has just started on it.
    if (m_port.portOpen()) {
        const MeterScan scan = scanMeters(m_devices);
        if (scan.ok && scan.entries == listedMeters())
            return;
    }
    ScanCOMports();
}

QList<MeterEntry> Form1::listedMeters() const {
    QList<MeterEntry> entries;
    for (int row = 0; row < L_COM_Ports->count(); ++row) {
        const QListWidgetItem* item = L_COM_Ports->item(row);
        entries.append({item->text(), item->data(Qt::UserRole).toInt()});
    }
    return entries;
}

void Form1::runPendingDiscovery() {
    if (!m_discoveryPending || downloading())
        return;
    // After the handler that ended the download, not inside the port's own notification.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_discoveryPending && !m_ended && !downloading())
                rescanOnNotice();
        },
        Qt::QueuedConnection);
}

void Form1::Label1_Click(int index) {
    if (index == 1)
        ScanCOMports();
}

void Form1::MSComm1_OnComm() {
    const QByteArray waiting = m_port.inBufferCount() > 0 ? m_port.input() : QByteArray();
    m_reception.onComm(waiting, *this);
    runPendingDiscovery();
}

QString Form1::statusText(int line) const {
    return line == 0 || line == 1 ? L_Status[static_cast<size_t>(line)]->text() : QString();
}

void Form1::setStatusText(int line, const QString& text) {
    if (line == 0 || line == 1)
        L_Status[static_cast<size_t>(line)]->write(text);
}

void Form1::setSlotCell(int row, int col, const QString& text) {
    FG_Data->setTextMatrix(row, col, text);
}

QDateTime Form1::now() const {
    return m_clock.now();
}

void Form1::DecodeMemory() {
    ::decodeMemory(FG_Data->state(), FG_Mem->state());
}

void Form1::RefreshStatus() {
    if (downloading())
        return;
    L_Status[0]->writeIfChanged(kReady);
    L_Status[1]->writeIfChanged(comText(ComPort));
    if (FG_Mem->mousePointer() == mouse::kPointerSizeNS)
        FG_Mem->setMousePointer(mouse::kPointerDefault);
}

void Form1::Form_MouseMove() {
    RefreshStatus();
}

void Form1::Form_MouseUp(int button, int shift) {
    if (button == mouse::kRight && shift == (mouse::kShift | mouse::kCtrl))
        FG_Data->setVisible(FG_Data->isHidden());
}

bool Form1::overBackground(const QMouseEvent* event) const {
    // Controls that ignore an event (a button and its right click, say) pass it up to the
    // window; those are still events over the control, not over the background.
    return childAt(event->position().toPoint()) == nullptr;
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (overBackground(event))
        Form_MouseMove();
    event->accept();
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    if (overBackground(event))
        Form_MouseUp(mouse::buttonCode(event->button()), mouse::shiftCode(event->modifiers()));
    event->accept();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_port.portOpen()) {
        m_port.close();
        L_Status[0]->write(QStringLiteral("Closing COM port"));
        L_Status[1]->write(QStringLiteral("Shutting down"));
    }
    event->accept();
}

void Form1::SetupMemTable() {
    memtable::setupMemTable(FG_Mem->state());
}

void Form1::C_Clear_Click() {
    if (downloading())
        return;
    FG_Mem->clear();
    SetupMemTable();
}

int Form1::GetMouseColumn() const {
    return FG_Mem->mouseCol() + 1;
}

int Form1::headerColumnAt(float y) const {
    const float h = static_cast<float>(FG_Mem->rowHeight(0));
    // The strip right of the last column has no header to name or sort by.
    return y < h ? GetMouseColumn() - 1 : -1;
}

void Form1::FG_Mem_MouseMove(int, int, float, float y) {
    if (downloading())
        return;
    const int c = headerColumnAt(y);
    if (c < 0) {
        RefreshStatus();
        return;
    }
    L_Status[0]->writeIfChanged(memtable::sortHint(LastSortAscending));
    L_Status[1]->writeIfChanged(memtable::oneLineHeader(FG_Mem->textMatrix(0, c)));
    if (FG_Mem->mousePointer() == mouse::kPointerDefault)
        FG_Mem->setMousePointer(mouse::kPointerSizeNS);
}

void Form1::FG_Mem_MouseUp(int, int, float, float y) {
    if (downloading())
        return;
    const int c = headerColumnAt(y);
    if (c < 0) {
        RefreshStatus();
        return;
    }
    FG_Mem->setCol(c);
    FG_Mem->sort(memtable::sortCode(c, LastSortAscending));
    LastSortAscending = !LastSortAscending;
}

void Form1::FG_Data_Click() {
    m_dialogs.message(FG_Data->text(), kTitle, Dialogs::Icon::None);
}

void Form1::C_Export_Click(int index) {
    if (downloading())
        return;
    const RowRange range = exportRange(index, FG_Mem->row(), FG_Mem->rowSel());
    if (range.first + range.last == 0) {
        m_dialogs.message(QString::fromLatin1(csvexport::kNoDataSelected), kTitle,
                          Dialogs::Icon::None);
        return;
    }
    int filterIndex = 0;
    const QString name =
        m_dialogs.saveFileName(exportDialogFilter(), m_lastExportName, &filterIndex);
    if (name.isEmpty())
        return;
    m_lastExportName = name;

    QString error;
    if (!writeTableExport(name, filterIndex, m_clock.now(), FG_Mem->state(), range, &error)) {
        m_dialogs.message(QStringLiteral("The file could not be written:") + QChar(13) + name +
                              QChar(13) + error,
                          kTitle, Dialogs::Icon::Critical);
    }
}

void Form1::C_Help_Click() {
    if (downloading())
        return;
    auto* picture = static_cast<QLabel*>(P_Help[1]);
    if (P_Help[0]->isHidden() && picture->pixmap().isNull())
        picture->setPixmap(QPixmap(QStringLiteral(":/px417/help.png")));
    P_Help[0]->setVisible(P_Help[0]->isHidden());
}

void Form1::VS_Help_Change() {
    VS_Help_Scroll();
}

void Form1::VS_Help_Scroll() {
    const float top = helpPictureTop(PixelTwipsY, VS_Help->value());
    P_Help[1]->move(0, static_cast<int>(std::lround(top / PixelTwipsY)));
}
