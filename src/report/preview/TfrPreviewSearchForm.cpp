#include "report/preview/TfrPreviewSearchForm.h"

#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/preview/DialogHelp.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace vaskel {

TfrPreviewSearchForm::TfrPreviewSearchForm(QWidget* parent) : QDialog(parent)
{
    using namespace StringTable;
    setWindowTitle(LoadStr(sFindText));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowContextHelpButtonHint);
    setFixedSize(262, 158);

    Label1 = new QLabel(LoadStr(sFindTextLabel), this);
    Label1->setGeometry(8, 8, 245, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(8, 24, 245, 21);
    Label1->setBuddy(Edit1);

    GroupBox1 = new QGroupBox(LoadStr(sFindOptions), this);
    GroupBox1->setGeometry(8, 52, 120, 66);
    CB1 = new QCheckBox(LoadStr(sFindCaseSensitive), GroupBox1);
    CB1->setGeometry(8, 22, 108, 17);

    GroupBox2 = new QGroupBox(LoadStr(sFindOrigin), this);
    GroupBox2->setGeometry(133, 52, 120, 66);
    RB1 = new QRadioButton(LoadStr(sFindFirstPage), GroupBox2);
    RB1->setGeometry(8, 20, 108, 17);
    RB1->setChecked(true);
    RB2 = new QRadioButton(LoadStr(sFindCurrentPage), GroupBox2);
    RB2->setGeometry(8, 40, 108, 17);

    Button1 = new QPushButton(LoadStr(sOk), this);
    Button1->setGeometry(99, 126, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(LoadStr(sCancel), this);
    Button2->setGeometry(178, 126, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    DialogHelp::setContext(Edit1, 98);
    DialogHelp::setContext(CB1, 107);
    DialogHelp::setContext(RB1, 116);
    DialogHelp::setContext(RB2, 123);
    DialogHelp::setContext(Button1, 40);
    DialogHelp::setContext(Button2, 50);
    DialogHelp::install(*this);
}

QString TfrPreviewSearchForm::searchText() const
{
    return Edit1->text();
}

bool TfrPreviewSearchForm::caseSensitive() const
{
    return CB1->isChecked();
}

bool TfrPreviewSearchForm::fromCurrentPage() const
{
    return RB2->isChecked();
}

void TfrPreviewSearchForm::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    Edit1->setFocus();
    Edit1->selectAll();
}

void TfrPreviewSearchForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Edit1->setFocus();
        Edit1->selectAll();
    }
}

} // namespace vaskel
