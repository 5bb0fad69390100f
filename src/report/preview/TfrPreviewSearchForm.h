#pragma once
// The Find dialog of the preview: the text to find, case sensitivity, and whether the search
// starts at the first page or the displayed one. A fixed dialog centred on the screen; when it
// becomes active the text box has the focus with its whole text selected.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vaskel {

class TfrPreviewSearchForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrPreviewSearchForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr; // the text to find
    QGroupBox* GroupBox1 = nullptr; // options
    QCheckBox* CB1 = nullptr; // case sensitive
    QGroupBox* GroupBox2 = nullptr; // origin
    QRadioButton* RB1 = nullptr; // first page
    QRadioButton* RB2 = nullptr; // current page
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel

    QString searchText() const;
    bool caseSensitive() const;
    bool fromCurrentPage() const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
};

} // namespace vaskel
