#pragma once
// The display-format editor: a small fixed-size dialog that composes a view's format code and
// format text from a category list, a kind list (with the sample texts of each kind), the number
// of decimals, the decimal separator and, for custom kinds, a pattern. It is the property editor
// of a memo's display format; nothing in the program opens it (it belongs to an interactive
// designer), tests drive it directly.
//
// Set `FormatCode` and `FormatText`, exec(); after OK both hold the new format. Geometry is in
// pixels of the client area, as laid out by the designer of the original window.
#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vaskel {

class TfrFmtForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrFmtForm(QWidget* parent = nullptr);

    qint32 FormatCode = 0;
    QString FormatText;

    QListWidget* CatLB = nullptr; // categories
    QListWidget* TypeLB = nullptr; // kinds of the selected category
    QLabel* Label1 = nullptr;
    QLineEdit* DecEdit = nullptr; // number of decimals
    QLabel* Label2 = nullptr;
    QLineEdit* SplEdit = nullptr; // decimal separator, one character
    QLabel* Label3 = nullptr;
    QLineEdit* FormatEdit = nullptr; // the pattern of a custom kind
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel

    // Stores the new code (and, when the pattern field is in use, the new text), then closes.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void categoryChanged(int row);
    void kindChanged(int row);

    bool m_centred = false;
};

} // namespace vaskel
