#include "report/preview/TfrPrintForm.h"

#include "platform/PlatformError.h"
#include "platform/UiServices.h"
#include "report/engine/PageSelection.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPrinter.h"
#include "report/preview/DialogHelp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>

namespace vaskel {

namespace {

// The 18 × 16 printer picture in front of each printer's name.
QPixmap printerPicture()
{
    QPixmap p(18, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(Qt::black);
    g.setBrush(Qt::white);
    g.drawRect(5, 1, 8, 5); // paper going in
    g.setBrush(QColor(192, 192, 192));
    g.drawRect(1, 6, 15, 6); // body
    g.setBrush(Qt::white);
    g.drawRect(4, 10, 10, 4); // paper coming out
    g.fillRect(13, 8, 2, 1, QColor(0, 128, 0)); // the lamp
    return p;
}

// A stack of sheets with a page number on the top one, `count` sheets offset diagonally.
void drawStack(QPainter& g, QPoint at, int count, const QString& number)
{
    for (int i = count - 1; i >= 0; --i) {
        const QRect sheet(at.x() + 4 * i, at.y() + 4 * i, 18, 24);
        g.setPen(Qt::black);
        g.setBrush(Qt::white);
        g.drawRect(sheet);
        if (i == 0)
            g.drawText(sheet, Qt::AlignCenter, number);
    }
}

// The collated copies (1 2 3, 1 2 3) and the uncollated ones (1 1, 2 2, 3 3), as the dialog shows.
QPixmap collatePicture(bool collated)
{
    QPixmap p(collated ? QSize(74, 53) : QSize(92, 40));
    p.fill(Qt::transparent);
    QPainter g(&p);
    QFont f = g.font();
    f.setPixelSize(10);
    g.setFont(f);
    if (collated) {
        for (int copy = 0; copy < 2; ++copy)
            drawStack(g, QPoint(2 + 36 * copy, 1 + 18 * copy), 3, QStringLiteral("1"));
    } else {
        for (int page = 0; page < 3; ++page)
            drawStack(g, QPoint(2 + 30 * page, 2), 2, QString::number(page + 1));
    }
    return p;
}

} // namespace

TfrPrintForm::TfrPrintForm(QWidget* parent) : QDialog(parent)
{
    using namespace StringTable;
    setWindowTitle(LoadStr(sPrintCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowContextHelpButtonHint);
    setFixedSize(485, 226);
    // The fixed geometry below was laid out for an 11-pixel dialog font; a larger desktop font
    // would clip the wrapped page-range help.
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    GroupBox1 = new QGroupBox(LoadStr(sPrinterGroup), this);
    GroupBox1->setGeometry(8, 4, 469, 53);
    Label4 = new QLabel(LoadStr(sPrinterName), GroupBox1);
    Label4->setGeometry(12, 24, 44, 16);
    CB1 = new QComboBox(GroupBox1);
    CB1->setGeometry(60, 20, 305, 22);
    CB1->setIconSize(QSize(18, 16));
    Label4->setBuddy(CB1);
    PropButton = new QPushButton(LoadStr(sPrinterProperties), GroupBox1);
    PropButton->setGeometry(376, 19, 85, 25);

    GroupBox2 = new QGroupBox(LoadStr(sPageRangeGroup), this);
    GroupBox2->setGeometry(8, 60, 261, 121);
    RB1 = new QRadioButton(LoadStr(sRangeAll), GroupBox2);
    RB1->setGeometry(12, 18, 150, 17);
    RB1->setChecked(true);
    RB2 = new QRadioButton(LoadStr(sRangeCurrentPage), GroupBox2);
    RB2->setGeometry(12, 38, 150, 17);
    RB3 = new QRadioButton(LoadStr(sRangePages), GroupBox2);
    RB3->setGeometry(12, 60, 70, 17);
    E2 = new QLineEdit(GroupBox2);
    E2->setGeometry(84, 58, 165, 21);
    Label2 = new QLabel(LoadStr(sRangeHelp), GroupBox2);
    Label2->setGeometry(12, 82, 241, 34);
    Label2->setWordWrap(true);

    GroupBox3 = new QGroupBox(LoadStr(sCopiesGroup), this);
    GroupBox3->setGeometry(276, 60, 201, 121);
    Label1 = new QLabel(LoadStr(sNumberOfCopies), GroupBox3);
    Label1->setGeometry(12, 22, 110, 16);
    E1 = new QSpinBox(GroupBox3);
    E1->setGeometry(124, 18, 65, 22);
    E1->setRange(1, 999);
    E1->setValue(1);
    Label1->setBuddy(E1);
    PB1 = new QWidget(GroupBox3);
    PB1->setGeometry(12, 52, 92, 53);
    PB1->installEventFilter(this);
    CollateCB = new QCheckBox(GroupBox3);
    CollateCB->setGeometry(112, 72, 17, 17);
    CollateCB->setChecked(true);
    Label3 = new QLabel(LoadStr(sCollate), GroupBox3);
    Label3->setGeometry(130, 72, 60, 17);
    Label3->setBuddy(CollateCB);
    Label3->installEventFilter(this);

    Label5 = new QLabel(LoadStr(sPrintWhich), this);
    Label5->adjustSize();
    Label5->move(12, 198);
    CB2 = new QComboBox(this);
    CB2->addItems({LoadStr(sAllPages), LoadStr(sOddPages), LoadStr(sEvenPages)});
    CB2->setGeometry(Label5->geometry().right() + 1 + 11, 194, 150, 22);
    Label5->setBuddy(CB2);
    Button1 = new QPushButton(LoadStr(sOk), this);
    Button1->setGeometry(316, 192, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(LoadStr(sCancel), this);
    Button2->setGeometry(402, 192, 75, 25);

    // The system's printers as they are now (queues added or removed since the program started
    // appear or vanish), with the system's current printer selected; the virtual printer, always
    // last in the model, is no choice here. The printer the model had stays to be put back.
    TfrPrinter& printer = frPrinter();
    const QString before = printer.PrinterList.value(printer.CurrentIndex);
    printer.AttachPrinter(TfrGlobals::get().printerBackend());
    m_restore = static_cast<int>(printer.PrinterList.indexOf(before));
    const QPixmap picture = printerPicture();
    for (int i = 0; i < printer.PrinterList.size(); ++i) {
        if (i != printer.VirtualIndex || printer.VirtualIndex == 0)
            CB1->addItem(QIcon(picture), printer.PrinterList[i], i);
    }
    m_remembered = printer.CurrentIndex;
    if (m_restore < 0)
        m_restore = m_remembered;
    CB1->setCurrentIndex(std::max(0, CB1->findData(m_remembered)));
    PropButton->setEnabled(!printer.isVirtual());

    connect(CB1, &QComboBox::activated, this, [this](int) {
        frPrinter().SelectPrinter(chosenPrinter());
        PropButton->setEnabled(!frPrinter().isVirtual());
    });
    connect(PropButton, &QPushButton::clicked, this, [] { frPrinter().ShowProperties(); });
    connect(RB3, &QRadioButton::clicked, this, [this] { E2->setFocus(); });
    E2->installEventFilter(this);
    connect(CollateCB, &QCheckBox::toggled, PB1, qOverload<>(&QWidget::update));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    DialogHelp::setContext(RB1, 108);
    DialogHelp::setContext(RB2, 118);
    DialogHelp::setContext(RB3, 124);
    DialogHelp::setContext(E2, 133);
    DialogHelp::setContext(Button1, 40);
    DialogHelp::setContext(Button2, 50);
    DialogHelp::setContext(CB1, 142);
    DialogHelp::setContext(PropButton, 152);
    DialogHelp::setContext(E1, 99);
    DialogHelp::setContext(CollateCB, 188);
    DialogHelp::setContext(CB2, 196);
    DialogHelp::install(*this);
    E1->setFocus();
}

int TfrPrintForm::chosenPrinter() const
{
    const QVariant data = CB1->currentData();
    return data.isValid() ? data.toInt() : m_remembered;
}

QString TfrPrintForm::pageList(int displayedPage) const
{
    if (RB2->isChecked())
        return QString::number(displayedPage);
    if (RB3->isChecked())
        return E2->text();
    return QString();
}

int TfrPrintForm::copies() const
{
    return E1->value();
}

quint8 TfrPrintForm::selection() const
{
    return static_cast<quint8>(std::max(CB2->currentIndex(), 0));
}

bool TfrPrintForm::collate() const
{
    return CollateCB->isChecked();
}

void TfrPrintForm::done(int result)
{
    // A page list or copies value that is no number is reported while the dialog stays open,
    // with its text selected for typing over.
    if (result == QDialog::Accepted && !inputIsValid())
        return;
    // Only a dialog closed without OK puts the earlier printer back.
    if (result != QDialog::Accepted)
        frPrinter().SelectPrinter(m_restore);
    QDialog::done(result);
}

bool TfrPrintForm::inputIsValid()
{
    const auto refuse = [](QLineEdit* field, const std::exception& e) {
        const auto* known = dynamic_cast<const VaskelError*>(&e);
        TfrGlobals::get().ui().showError(known ? known->message() : QString::fromLocal8Bit(e.what()));
        field->setFocus();
        field->selectAll();
        return false;
    };
    try {
        PageSelection::copiesFrom(E1->cleanText());
    } catch (const std::exception& e) {
        return refuse(E1->findChild<QLineEdit*>(), e);
    }
    if (RB3->isChecked()) {
        try {
            // Only the tokens are checked; which pages they name is the print run's business.
            PageSelection::parse(E2->text(), 0);
        } catch (const std::exception& e) {
            return refuse(E2, e);
        }
    }
    return true;
}

void TfrPrintForm::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    E1->setFocus();
}

bool TfrPrintForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PB1 && event->type() == QEvent::Paint) {
        paintCollatePicture();
        return true;
    }
    if (watched == E2 && event->type() == QEvent::FocusIn)
        RB3->setChecked(true);
    if (watched == Label3
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        CollateCB->toggle();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrPrintForm::paintCollatePicture()
{
    QPainter g(PB1);
    g.fillRect(PB1->rect(), palette().button());
    if (CollateCB->isChecked())
        g.drawPixmap(QRect(QPoint(8, 0), QPoint(81, 52)), collatePicture(true));
    else
        g.drawPixmap(QRect(QPoint(0, 8), QPoint(91, 47)), collatePicture(false));
}

} // namespace vaskel
