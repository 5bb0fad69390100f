#pragma once
// Context help of the preview's dialogs (print, find): the title bar's "?" button followed by a
// click on a control, or F1 on the control with the focus, shows the topic of that control's
// context number (its "helpContext" property, or that of the nearest parent that has one) from
// the preview's help file, through the UI services' help popup, as the preview window's help
// mode does.
#include <QObject>

class QDialog;
class QWidget;

namespace vaskel {

class DialogHelp : public QObject {
public:
    // Watches `dialog`'s help events; owned by the dialog.
    static void install(QDialog& dialog);
    // Names the help file's topic of `control` (its context number).
    static void setContext(QWidget* control, int context);
    // Shows the topic of `control`; false when neither it nor a parent names one.
    static bool showFor(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DialogHelp(QDialog& dialog);
    QDialog& m_dialog;
};

} // namespace vaskel
