// The window driven from the keyboard: Enter on the buttons, and a visible mark on the control
// that has the focus.
#include "Rig.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The window shown and active, so that focus takes effect.
struct KeyboardRig : Rig {
    KeyboardRig() {
        form->Form_Load();
        form->show();
        form->activateWindow();
        active = QTest::qWaitForWindowActive(form.get());
    }
    bool active = false;
};

// Whether the control shows the focus colour on its left edge, halfway down, as drawn.
bool showsFocusMark(QWidget& control) {
    const QImage drawn = control.grab().toImage();
    return QColor(drawn.pixel(0, drawn.height() / 2)) ==
           control.palette().color(QPalette::Highlight);
}

} // namespace

TEST(Form1Keyboard, returnAndKeypadEnterClickTheFocusedButtonAsSpaceDoes) {
    KeyboardRig rig;
    ASSERT_TRUE(rig.active);
    QWidget& help = rig.form->pHelp(0);
    rig.form->cHelp().setFocus();
    QTest::keyClick(&rig.form->cHelp(), Qt::Key_Return);
    EXPECT_TRUE(help.isVisible());
    QTest::keyClick(&rig.form->cHelp(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(help.isVisible());
    QTest::keyClick(&rig.form->cHelp(), Qt::Key_Space);
    EXPECT_TRUE(help.isVisible());
}

TEST(Form1Keyboard, theTableAndTheConnectionListShowAMarkWhileTheyHaveTheFocus) {
    KeyboardRig rig;
    ASSERT_TRUE(rig.active);
    QWidget& table = rig.form->fgMem();
    QWidget& list = rig.form->lComPorts();
    rig.form->cHelp().setFocus();
    EXPECT_FALSE(showsFocusMark(table));
    EXPECT_FALSE(showsFocusMark(list));

    table.setFocus();
    EXPECT_TRUE(showsFocusMark(table));
    EXPECT_FALSE(showsFocusMark(list));

    list.setFocus();
    EXPECT_FALSE(showsFocusMark(table));
    EXPECT_TRUE(showsFocusMark(list));
}
