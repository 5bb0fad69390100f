#pragma once
// The print dialog: the printer (with its properties), the pages (all, the displayed one, or a
// page list such as 1,3,5-12), the number of copies (1 to 999) and collation, and all, odd or even
// pages. It opens on the system's printers as they are now, the current one selected. Choosing a
// printer makes it the printer model's current printer at once; only Cancel, or closing the
// dialog without OK, puts back the printer that was current when it opened (the properties
// dialog taking the focus changes nothing). OK with a copies value or page list that is no
// number shows the error and keeps the dialog open.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace vaskel {

class TfrPrintForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPrintForm(QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr; // printer
    QLabel* Label4 = nullptr;
    QComboBox* CB1 = nullptr; // the system's printers
    QPushButton* PropButton = nullptr;
    QGroupBox* GroupBox2 = nullptr; // page range
    QRadioButton* RB1 = nullptr; // all
    QRadioButton* RB2 = nullptr; // current page
    QRadioButton* RB3 = nullptr; // pages:
    QLineEdit* E2 = nullptr; // the page list
    QLabel* Label2 = nullptr;
    QGroupBox* GroupBox3 = nullptr; // copies
    QLabel* Label1 = nullptr;
    QSpinBox* E1 = nullptr; // number of copies, with its arrows
    QCheckBox* CollateCB = nullptr;
    QLabel* Label3 = nullptr; // "Collate", toggles CollateCB
    QWidget* PB1 = nullptr; // the collate picture
    QLabel* Label5 = nullptr;
    QComboBox* CB2 = nullptr; // all, odd, even pages
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel

    // The printer model's index of the system's current printer when the dialog opened.
    int rememberedPrinter() const { return m_remembered; }
    // The printer model's index of the printer chosen in CB1.
    int chosenPrinter() const;
    // The page list the choice stands for: empty for all pages, the displayed page's number, or
    // the typed list.
    QString pageList(int displayedPage) const;
    int copies() const;
    quint8 selection() const;
    bool collate() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintCollatePicture();
    // Shows the error of a copies value or page list that is no number and selects its text.
    bool inputIsValid();

    int m_remembered = 0;
    int m_restore = 0; // the model's printer when the dialog opened, put back unless OK
};

} // namespace vaskel
