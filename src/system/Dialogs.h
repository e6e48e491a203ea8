#pragma once

#include <QString>

// The window's message boxes and its save dialog, behind an interface so tests can answer them.
class Dialogs {
public:
    enum class Icon { None, Critical };
    virtual ~Dialogs() = default;
    // Shows a message box with an OK button and waits until it is closed. Lines of the text
    // are joined by a single carriage return.
    virtual void message(const QString& text, const QString& caption, Icon icon) = 0;
    // Shows a save dialog with the filters given as "Description|pattern" pairs joined by "|",
    // the first one selected, offering initialName. Returns the chosen name, or an empty text
    // on cancel; a name typed without an extension gets the one of the filter left selected,
    // any other is returned as chosen. *filterIndex (when given) receives the number of that
    // filter, from 0.
    virtual QString saveFileName(const QString& filter, const QString& initialName,
                                 int* filterIndex) = 0;
};
