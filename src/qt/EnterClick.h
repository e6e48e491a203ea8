#pragma once

class QAbstractButton;

// Makes Return and Enter click the button while it has the focus, as Space does. Outside a
// dialog the toolkit's buttons answer Space alone.
void clickOnEnter(QAbstractButton* button);
