// The window's controls: created in stacking order, placed by the layout's table in twips,
// and wired to their handlers.
#include "app/Controls.h"
#include "app/Form1.h"
#include "app/HelpPane.h"
#include "app/WindowLayout.h"
#include "link/MeterDiscovery.h"
#include "link/SlotTable.h"
#include "qt/EnterClick.h"
#include "qt/FocusMark.h"
#include "qt/Grid.h"
#include "qt/Twips.h"
#include "table/MemTable.h"

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

namespace {

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

void Form1::place(QWidget* w, const layout::TwipsRect& r) const {
    w->setGeometry(layout::pixelRect(r, m_twipsPerPixel));
}

void Form1::buildControls() {
    setWindowTitle(QStringLiteral(" Dorvalix ") + QString::fromLatin1(kMeterModel) +
                   QStringLiteral(" data reader"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(twips::toPixels(layout::kClientWidth, m_twipsPerPixel),
                 twips::toPixels(layout::kClientHeight, m_twipsPerPixel));
    setFont(windowFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Button, QColor(240, 240, 240));
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);

    // Created bottom of the stack first, so each new control lies above the ones before it.
    L_Status[0] = new StatusLine(QStringLiteral("Ready"), this);
    place(L_Status[0], layout::kStatusState);
    Label1[0] = new CaptionLabel(QStringLiteral("Status:"), this);
    place(Label1[0], layout::kStatusCaption);
    Label1[1] = new CaptionLabel(QStringLiteral("Connection:"), this);
    place(Label1[1], layout::kConnectionCaption);
    for (CaptionLabel* l : Label1)
        l->setFont(windowFont(true));
    L_Status[1] = new StatusLine(QStringLiteral("Ready"), this);
    place(L_Status[1], layout::kStatusDetail);

    Shape1 = new QFrame(this);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setLineWidth(1);
    Shape1->setFrameShadow(QFrame::Plain);
    QPalette outline = Shape1->palette();
    outline.setColor(QPalette::WindowText, Qt::black);
    Shape1->setPalette(outline);
    // An outline takes no mouse events: the window's background lies under it.
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(Shape1, layout::kStatusOutline);

    FG_Mem = new Grid(memtable::kRows, memtable::kCols, m_twipsPerPixel, this);
    FG_Mem->setFont(gridFont());
    place(FG_Mem, layout::kTable);

    L_COM_Ports = new QListWidget(this);
    L_COM_Ports->setSelectionMode(QAbstractItemView::SingleSelection);
    place(L_COM_Ports, layout::kConnectionList);

    C_Export[0] = new QPushButton(QStringLiteral("Export Data (all)"), this);
    place(C_Export[0], layout::kExportAll);
    C_Export[1] = new QPushButton(QStringLiteral("Export Data (selection)"), this);
    place(C_Export[1], layout::kExportSelection);

    Picture1 = new QLabel(this);
    // The picture drawn at twice the size is taken on screens at 200%, where scaling the
    // small one up would blur it.
    const QPixmap logo(QStringLiteral(":/px417/logo.png"));
    QIcon logos(logo);
    logos.addFile(QStringLiteral(":/px417/logo@2x.png"));
    Picture1->setPixmap(logos.pixmap(logo.size(), devicePixelRatioF()));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Picture1, layout::kLogo);

    C_Clear = new QPushButton(QStringLiteral("Clear table"), this);
    place(C_Clear, layout::kClear);
    C_Help = new QPushButton(QStringLiteral("Help"), this);
    place(C_Help, layout::kHelp);

    m_help = new HelpPane(m_twipsPerPixel, this);

    FG_Data = new Grid(kSlotTableRows, kSlotTableCols, m_twipsPerPixel, this);
    FG_Data->setFont(gridFont());
    place(FG_Data, layout::kTable);
    FG_Data->hide();

    for (QPushButton* b : {C_Export[0], C_Export[1], C_Clear, C_Help}) {
        b->setAutoFillBackground(true);
        clickOnEnter(b);
    }
    for (QWidget* control : {static_cast<QWidget*>(FG_Mem), static_cast<QWidget*>(FG_Data),
                             static_cast<QWidget*>(L_COM_Ports)})
        new FocusMark(control);

    setTabOrder(FG_Data, L_COM_Ports);
    setTabOrder(L_COM_Ports, FG_Mem);
    setTabOrder(FG_Mem, C_Export[0]);
    setTabOrder(C_Export[0], C_Export[1]);
    setTabOrder(C_Export[1], C_Clear);
    setTabOrder(C_Clear, C_Help);
    setTabOrder(C_Help, &vsHelp());

    connect(C_Clear, &QPushButton::clicked, this, &Form1::C_Clear_Click);
    connect(C_Help, &QPushButton::clicked, this, &Form1::C_Help_Click);
    connect(C_Export[0], &QPushButton::clicked, this, [this] { C_Export_Click(0); });
    connect(C_Export[1], &QPushButton::clicked, this, [this] { C_Export_Click(1); });
    connect(Label1[0], &CaptionLabel::clicked, this, [this] { Label1_Click(0); });
    connect(Label1[1], &CaptionLabel::clicked, this, [this] { Label1_Click(1); });
    connect(FG_Data, &Grid::clicked, this, &Form1::FG_Data_Click);
    connect(FG_Mem, &Grid::mouseMoved, this, &Form1::FG_Mem_MouseMove);
    connect(FG_Mem, &Grid::mouseReleased, this, &Form1::FG_Mem_MouseUp);
    connect(&vsHelp(), &QScrollBar::valueChanged, this, &Form1::VS_Help_Change);
    connect(&vsHelp(), &QScrollBar::sliderMoved, this, &Form1::VS_Help_Scroll);

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
