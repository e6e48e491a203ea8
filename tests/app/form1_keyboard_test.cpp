// The window driven from the keyboard.
#include "Rig.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The control's left edge, halfway down, as drawn, shows the focus colour.
bool showsFocusMark(QWidget& control) {
    const QImage drawn = control.grab().toImage();
    return QColor(drawn.pixel(0, drawn.height() / 2)) ==
           control.palette().color(QPalette::Highlight);
}

} // namespace

TEST(Form1Keyboard, enterClicksTheFocusedButtonAndTheFocusedTableOrListShowsAMark) {
    Rig rig;
    rig.form->Form_Load();
    rig.form->show();
    rig.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.form.get())); // focus takes effect
    QPushButton& help = rig.form->cHelp();
    help.setFocus();
    QTest::keyClick(&help, Qt::Key_Return);
    EXPECT_TRUE(rig.form->pHelp(0).isVisible());
    QTest::keyClick(&help, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(rig.form->pHelp(0).isVisible());

    QWidget& table = rig.form->fgMem();
    QWidget& list = rig.form->lComPorts();
    EXPECT_FALSE(showsFocusMark(table) || showsFocusMark(list));
    table.setFocus();
    EXPECT_TRUE(showsFocusMark(table) && !showsFocusMark(list));
    list.setFocus();
    EXPECT_TRUE(showsFocusMark(list) && !showsFocusMark(table));
}
