#include "Rig.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

// A packet of slot 0: the first of a download, so the state line turns "Downloading...".
const QByteArray kFirstPacket = "0,00,00,00,00,00,00,00,00,00,00/";

// The window started with one meter on COM181 at a given screen factor.
struct HelpRig : Rig {
    explicit HelpRig(double factor = 15.0) : Rig({kMeter181}, factor) { form->Form_Load(); }
    QWidget& frame() const { return form->pHelp(0); }
    QWidget& picture() const { return form->pHelp(1); }
    QScrollBar& bar() const { return form->vsHelp(); }
    bool shown() const { return frame().isVisibleTo(form.get()); }
    double factor() const { return form->twipsPerPixel(); }
    // The picture's top within the frame, in twips.
    double pictureTopTwips() const { return picture().y() * factor(); }
};

} // namespace

TEST(HelpPage, atStartTheFrameIsHiddenAndTheTableVisible) {
    HelpRig rig;
    EXPECT_FALSE(rig.shown());
    EXPECT_TRUE(rig.form->fgMem().isVisibleTo(rig.form.get()));
    EXPECT_EQ(rig.frame().geometry(), rig.form->fgMem().geometry());
    EXPECT_EQ(rig.bar().value(), 0);
    EXPECT_EQ(rig.bar().minimum(), 0);
}

TEST(HelpPage, helpShowsTheFrameAboveTheTableAndTheSlotTableAboveIt) {
    HelpRig rig;
    rig.form->show();
    QTest::mouseClick(&rig.form->cHelp(), Qt::LeftButton);
    ASSERT_TRUE(rig.shown());
    EXPECT_EQ(rig.form->cHelp().text(), "Help");

    const QPoint middle = rig.frame().geometry().center();
    QWidget* top = rig.form->childAt(middle);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(rig.frame().isAncestorOf(top) || top == &rig.frame());

    rig.form->fgData().show();
    top = rig.form->childAt(middle);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(rig.form->fgData().isAncestorOf(top));
}

TEST(HelpPage, theFrameHoldsTheHelpBitmapAtThePictureBoxTopLeft) {
    HelpRig rig;
    auto* label = qobject_cast<QLabel*>(&rig.picture());
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->pixmap().isNull()); // not decoded until the page is first shown
    rig.form->C_Help_Click();
    EXPECT_EQ(label->pixmap().size(), QSize(730, 2489));
    // 730 pixels beside a scroll bar that starts at 10965 twips (731 pixels).
    EXPECT_LE(label->pixmap().width(), rig.bar().x());
}

TEST(HelpPage, firstShowingStartsEightHundredFortyTwipsDownUntilTheFirstScroll) {
    HelpRig rig;
    rig.form->C_Help_Click();
    EXPECT_EQ(rig.picture().y(), 56);
    EXPECT_DOUBLE_EQ(rig.pictureTopTwips(), 840.0);

    rig.bar().setValue(7);
    EXPECT_DOUBLE_EQ(rig.pictureTopTwips(), -7 * 15.0);
    rig.bar().setValue(0);
    EXPECT_EQ(rig.picture().y(), 0);
}

TEST(HelpPage, pageAndArrowStepsMoveThePictureByTheirSteps) {
    HelpRig rig;
    rig.form->C_Help_Click();
    rig.bar().triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(rig.picture().y(), -91);
    rig.bar().triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(rig.picture().y(), -92);
    rig.bar().triggerAction(QAbstractSlider::SliderToMaximum);
    rig.bar().triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(rig.bar().value(), 2139);
}

TEST(HelpPage, draggingTheThumbMovesThePictureWhileTheThumbIsHeld) {
    HelpRig rig;
    rig.form->C_Help_Click();
    rig.bar().setSliderDown(true);
    rig.bar().setSliderPosition(300);
    EXPECT_EQ(rig.picture().y(), -300);
    rig.bar().setSliderPosition(120);
    EXPECT_EQ(rig.picture().y(), -120);
    rig.bar().setSliderDown(false);
    EXPECT_EQ(rig.picture().y(), -120);
}

TEST(HelpPage, hidingAndShowingAgainKeepsTheScrollPosition) {
    HelpRig rig;
    rig.form->C_Help_Click();
    rig.bar().setValue(500);
    rig.form->C_Help_Click();
    EXPECT_FALSE(rig.shown());
    rig.form->C_Help_Click();
    EXPECT_TRUE(rig.shown());
    EXPECT_EQ(rig.bar().value(), 500);
    EXPECT_EQ(rig.picture().y(), -500);
}

TEST(HelpPage, helpIsIgnoredWhileDownloadingButScrollingStillWorks) {
    HelpRig rig;
    rig.port.receive(kFirstPacket);
    ASSERT_EQ(rig.form->lStatus(0).text(), "Downloading...");
    rig.form->C_Help_Click();
    EXPECT_FALSE(rig.shown());

    HelpRig shownBefore;
    shownBefore.form->C_Help_Click();
    shownBefore.port.receive(kFirstPacket);
    ASSERT_EQ(shownBefore.form->lStatus(0).text(), "Downloading...");
    shownBefore.form->C_Help_Click();
    EXPECT_TRUE(shownBefore.shown());
    shownBefore.bar().setValue(40);
    EXPECT_EQ(shownBefore.picture().y(), -40);
}

TEST(HelpPage, helpWorksAgainOnceTheStateLineLeavesDownloading) {
    HelpRig rig;
    rig.port.receive(kFirstPacket);
    rig.form->L_COM_Ports_Click();
    ASSERT_EQ(rig.form->lStatus(0).text(), "Ready.");
    rig.form->C_Help_Click();
    EXPECT_TRUE(rig.shown());
}

// Range and the picture's travel at the screen factors of 144, 120 and 96 dots per inch.
class HelpPageAtFactor : public ::testing::TestWithParam<std::tuple<double, int, int>> {};

TEST_P(HelpPageAtFactor, rangeFollowsTheFactorAndTheMaximumAlignsTheBottoms) {
    const auto [factor, maximum, largeStep] = GetParam();
    HelpRig rig(factor);
    EXPECT_EQ(rig.bar().maximum(), maximum);
    EXPECT_EQ(rig.bar().pageStep(), largeStep);
    EXPECT_EQ(rig.bar().singleStep(), 1);

    rig.form->C_Help_Click();
    rig.bar().setValue(rig.bar().maximum());
    EXPECT_DOUBLE_EQ(rig.pictureTopTwips(), -maximum * factor);
    EXPECT_EQ(rig.picture().geometry().bottom(), rig.frame().height() - 1);
}

INSTANTIATE_TEST_SUITE_P(Factors, HelpPageAtFactor,
                         ::testing::Values(std::make_tuple(10.0, 3208, 61),
                                           std::make_tuple(12.0, 2674, 73),
                                           std::make_tuple(15.0, 2139, 91)));

// One notch over the picture moves it as far as one over the bar: the bar's own step.
TEST(HelpPage, aWheelNotchOverThePictureMovesItAsFarAsOverTheScrollBar) {
    HelpRig rig;
    rig.form->C_Help_Click();
    QWheelEvent notch({5, 5}, {5, 5}, {}, {0, -QWheelEvent::DefaultDeltasPerStep}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&rig.bar(), &notch);
    const int overBar = rig.bar().value();
    rig.bar().setValue(0);
    QApplication::sendEvent(&rig.picture(), &notch);
    EXPECT_GT(overBar, 0);
    EXPECT_EQ(rig.bar().value(), overBar);
    EXPECT_EQ(rig.picture().y(), -overBar);
}

// At 15 twips per pixel the large step is 91 and the end 2139.
TEST(HelpPage, keysMoveThePageByLargeAndSmallStepsAndToBothEnds) {
    HelpRig rig;
    rig.form->show();
    rig.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.form.get()));
    QTest::mouseClick(&rig.form->cHelp(), Qt::LeftButton);
    QTest::keyClick(&rig.form->cHelp(), Qt::Key_PageDown); // the button has no use for it
    EXPECT_EQ(rig.picture().y(), -91);
    QTest::mouseClick(&rig.picture(), Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_TRUE(rig.bar().hasFocus());
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Down, 92},      {Qt::Key_Up, 91},
                                             {Qt::Key_PageDown, 182}, {Qt::Key_End, 2139},
                                             {Qt::Key_PageUp, 2048},  {Qt::Key_Home, 0}};
    for (const auto& [key, value] : steps) {
        QTest::keyClick(&rig.bar(), key);
        EXPECT_EQ(rig.bar().value(), value) << "after key " << int(key);
    }
}

// The table takes these keys itself while it can move, so they are pressed where nothing takes
// them: on a focused button. With the page hidden they go on to the window, and its scroll bar
// stays where it was left.
TEST(HelpPage, pageKeysWithThePageHiddenLeaveItsScrollBarAloneAndAreNotTaken) {
    HelpRig rig;
    rig.form->show();
    rig.form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.form.get()));
    rig.form->C_Help_Click();
    rig.bar().setValue(500);
    rig.form->C_Help_Click();
    ASSERT_FALSE(rig.shown());
    rig.form->cHelp().setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &rig.form->cHelp());
    for (const Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        const std::string name = QKeySequence(key).toString().toStdString();
        EXPECT_FALSE(press.isAccepted()) << name << " was taken";
        EXPECT_EQ(rig.bar().value(), 500) << "after " << name;
    }
}
