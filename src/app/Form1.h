#pragma once

#include "app/WindowLayout.h"
#include "link/ConnectionView.h"
#include "link/MeterConnection.h"
#include "link/StatusTexts.h"

#include <QLocale>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>

class CaptionLabel;
class Clock;
class DeviceList;
class DeviceMonitor;
class DownloadKeeper;
class Dialogs;
class Grid;
class HelpPane;
class ProgramControl;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollBar;
class SerialPort;
class StatusLine;

// The reader's one window: its controls, its form-level state and the wiring of its handlers.
// The serial handlers call the meter connection, which the window owns and serves as its view.
// Collaborators that reach outside the process come in through the constructor.
class Form1 : public QWidget, private ConnectionView {
    Q_OBJECT
public:
    // The program's title, used as the caption of message boxes without one of their own.
    static inline const QString kTitle = QString::fromLatin1(statustext::kProgramTitle);

    // Builds the controls; twipsPerPixel is the screen's factor (15 at 96 dpi), locale the
    // user's, which decides the export kind offered first. With a monitor, meters are looked
    // for again whenever it reports devices arriving or leaving. With a keeper, every download
    // that passes its check is kept before it is decoded.
    Form1(SerialPort& port, DeviceList& devices, Dialogs& dialogs, const Clock& clock,
          ProgramControl& program, double twipsPerPixel, const QLocale& locale,
          DeviceMonitor* monitor = nullptr, DownloadKeeper* keeper = nullptr,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up sequence; run once before the window is first shown.
    void Form_Load();
    // Opens a kept download: it goes through reception and decoding as when it arrived, the
    // port is left alone and nothing is kept. A file that is no kept download gets a box with
    // its name and what is wrong, and changes nothing. Does nothing during a download.
    void openDownload(const QString& path);

    // Handlers, public so that tests drive them as the events would.
    void Form_MouseMove();
    void Form_MouseUp(int button, int shift);
    void C_Clear_Click();
    void C_Export_Click(int index);
    void C_Help_Click();
    void FG_Data_Click();
    void FG_Mem_MouseMove(int button, int shift, float x, float y);
    void FG_Mem_MouseUp(int button, int shift, float x, float y);
    void L_COM_Ports_Click();
    void Label1_Click(int index);
    void MSComm1_OnComm();
    void VS_Help_Change();
    void VS_Help_Scroll();
    // The open port's device went away: the download ends and the panel says so.
    void lineLost();
    // Devices arrived or left: discovery runs as after a click on "Connection:", but never
    // during a download; then it runs once the download has ended.
    void devicesChanged();

    // Procedures of the window.
    void ScanCOMports();
    void SetupMemTable();
    void RefreshStatus();
    void DecodeMemory();
    int GetMouseColumn() const;

    // Controls and state, for the program's own tests and tools.
    Grid& fgData() const { return *FG_Data; }
    Grid& fgMem() const { return *FG_Mem; }
    StatusLine& lStatus(int index) const { return *L_Status[static_cast<size_t>(index)]; }
    QListWidget& lComPorts() const { return *L_COM_Ports; }
    QPushButton& cExport(int index) const { return *C_Export[static_cast<size_t>(index)]; }
    QPushButton& cClear() const { return *C_Clear; }
    QPushButton& cHelp() const { return *C_Help; }
    CaptionLabel& label1(int index) const { return *Label1[static_cast<size_t>(index)]; }
    QWidget& pHelp(int index) const;
    QScrollBar& vsHelp() const;
    QLabel& picture1() const { return *Picture1; }
    int comPort() const override { return m_connection.comPort(); }
    bool lastSortAscending() const { return LastSortAscending; }
    const Reception& reception() const { return m_connection.reception(); }
    double twipsPerPixel() const { return m_twipsPerPixel; }
    // The name the save dialog offers next.
    QString lastExportName() const { return m_lastExportName; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // ReceptionView
    QString statusText(int line) const override;
    void setStatusText(int line, const QString& text) override;
    void setSlotCell(int row, int col, const QString& text) override;
    QDateTime now() const override;
    void decodeMemory() override { DecodeMemory(); }
    // ConnectionView
    void showMeters(const QList<MeterEntry>& meters) override;
    void chooseFirstMeter() override;
    std::optional<qint64> chosenPort() const override;

    void buildControls();
    bool overBackground(const QMouseEvent* event) const;
    void place(QWidget* w, const layout::TwipsRect& r) const;
    bool downloading() const;
    // The column whose header lies under the pointer at height y (twips), or -1 when the
    // pointer is below the header row or beside the last column.
    int headerColumnAt(float y) const;

    Dialogs& m_dialogs;
    const Clock& m_clock;
    // PixelTwipsY: the screen's vertical twips per pixel, given at construction since the
    // controls are placed by it before start-up.
    double m_twipsPerPixel = 15.0;
    QLocale m_locale;
    MeterConnection m_connection;
    QString m_lastExportName;
    bool m_listClickFromMouse = false;

    Grid* FG_Data = nullptr;
    HelpPane* m_help = nullptr;
    QPushButton* C_Help = nullptr;
    QPushButton* C_Clear = nullptr;
    QLabel* Picture1 = nullptr;
    std::array<QPushButton*, 2> C_Export{};
    QListWidget* L_COM_Ports = nullptr;
    Grid* FG_Mem = nullptr;
    QFrame* Shape1 = nullptr;
    std::array<StatusLine*, 2> L_Status{};
    std::array<CaptionLabel*, 2> Label1{};

    bool LastSortAscending = false;
};
