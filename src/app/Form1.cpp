#include "app/Form1.h"

#include "app/Controls.h"
#include "app/DownloadFiles.h"
#include "app/HelpPane.h"
#include "decode/DecodeMemory.h"
#include "export/CsvExport.h"
#include "export/TableExport.h"
#include "link/SlotTable.h"
#include "link/StatusTexts.h"
#include "qt/Grid.h"
#include "qt/MouseCodes.h"
#include "qt/Twips.h"
#include "store/KeptDownload.h"
#include "system/Clock.h"
#include "table/MemTable.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

using statustext::comText;

const QString kDownloading = QString::fromLatin1(statustext::kDownloading);
const QString kReady = QString::fromLatin1(statustext::kReady);

} // namespace

Form1::Form1(SerialPort& port, DeviceList& devices, Dialogs& dialogs, const Clock& clock,
             ProgramControl& program, double twipsPerPixel, const QLocale& locale,
             DeviceMonitor* monitor, DownloadKeeper* keeper, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_clock(clock), m_twipsPerPixel(twipsPerPixel),
      m_locale(locale), m_connection(port, devices, dialogs, program, *this, monitor, keeper) {
    buildControls();
    setAcceptDrops(true);
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    m_connection.reset();
    ScanCOMports();
    if (m_connection.ended())
        return;
    layoutSlotTable(FG_Data->state());
    SetupMemTable();
    m_help->placeOverTable();
}

bool Form1::downloading() const {
    return L_Status[0]->text() == kDownloading;
}

void Form1::ScanCOMports() {
    m_connection.scanComPorts();
}

void Form1::L_COM_Ports_Click() {
    m_connection.connectChosen();
}

void Form1::lineLost() {
    m_connection.lineLost();
}

void Form1::devicesChanged() {
    m_connection.devicesChanged();
}

void Form1::MSComm1_OnComm() {
    m_connection.onComm();
}

void Form1::showMeters(const QList<MeterEntry>& meters) {
    // The list's own notifications stay quiet while it is rebuilt: only a user's choice
    // connects.
    const QSignalBlocker blocker(L_COM_Ports);
    L_COM_Ports->clear();
    for (const MeterEntry& entry : meters) {
        auto* item = new QListWidgetItem(entry.text, L_COM_Ports);
        item->setData(Qt::UserRole, entry.port);
    }
}

void Form1::chooseFirstMeter() {
    const QSignalBlocker blocker(L_COM_Ports);
    L_COM_Ports->setCurrentRow(0);
}

std::optional<qint64> Form1::chosenPort() const {
    const QListWidgetItem* item = L_COM_Ports->currentItem();
    if (!item)
        return std::nullopt;
    return item->data(Qt::UserRole).toLongLong();
}

void Form1::Label1_Click(int index) {
    if (index == 1)
        ScanCOMports();
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

void Form1::openDownload(const QString& path) {
    if (m_connection.ended() || downloading())
        return;
    QString error;
    const std::optional<KeptDownload> kept = readKeptDownload(path, &error);
    if (!kept) {
        m_dialogs.message(openFailureText(path, error), kTitle, Dialogs::Icon::Critical);
        return;
    }
    // Through this window's own view, not the connection's: an opened download is not kept.
    replayKeptDownload(*kept, *this);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    event->acceptProposedAction();
    // After the drop has ended: a box inside it would hold the file manager too.
    QMetaObject::invokeMethod(
        this, [this, path] { openDownload(path); }, Qt::QueuedConnection);
}

void Form1::DecodeMemory() {
    ::decodeMemory(FG_Data->state(), FG_Mem->state());
}

void Form1::RefreshStatus() {
    if (downloading())
        return;
    L_Status[0]->writeIfChanged(kReady);
    L_Status[1]->writeIfChanged(comText(comPort()));
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

void Form1::keyPressEvent(QKeyEvent* event) {
    // A page key that the focused control has no use for (the "Help" button just clicked, say)
    // scrolls the help page while it is shown.
    if (!m_help->scrollByKey(event))
        QWidget::keyPressEvent(event);
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    if (overBackground(event))
        Form_MouseUp(mouse::buttonCode(event->button()), mouse::shiftCode(event->modifiers()));
    event->accept();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_connection.closeForShutdown()) {
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
        m_dialogs.message(QString::fromLatin1(exportrows::kNoDataSelected), kTitle,
                          Dialogs::Icon::None);
        return;
    }
    const QList<ExportKind> kinds = offeredExportKinds(m_locale);
    int filterIndex = 0;
    const QString name =
        m_dialogs.saveFileName(exportDialogFilter(kinds), m_lastExportName, &filterIndex);
    if (name.isEmpty())
        return;
    m_lastExportName = name;

    QString error;
    const ExportKind chosen = kinds.value(filterIndex, kinds.constFirst());
    if (!writeTableExport(name, chosen, m_clock.now(), FG_Mem->state(), range, &error)) {
        m_dialogs.message(QStringLiteral("The file could not be written:") + QChar(13) + name +
                              QChar(13) + error,
                          kTitle, Dialogs::Icon::Critical);
    }
}

void Form1::C_Help_Click() {
    if (downloading())
        return;
    m_help->toggle();
}

void Form1::VS_Help_Change() {
    VS_Help_Scroll();
}

void Form1::VS_Help_Scroll() {
    m_help->scrollPicture();
}

QWidget& Form1::pHelp(int index) const {
    return index == 0 ? *m_help : m_help->picture();
}

QScrollBar& Form1::vsHelp() const {
    return m_help->scrollBar();
}
