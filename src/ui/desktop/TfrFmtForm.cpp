#include "ui/desktop/TfrFmtForm.h"

#include "report/expr/ExprGlobals.h"
#include "report/expr/ValueText.h"
#include "report/model/DisplayFormat.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace vaskel {

namespace {

constexpr int kCategoryNames = 55130; // "Text" … "Boolean"
constexpr int kKindSamples = 55150; // 55150 + 5 × category + kind
constexpr int kMaxDecimals = 255; // the width of the code's decimals field

// Captions come from the string table; numbers it does not hold keep the window's own texts, so a
// missing translation never leaves a blank caption or label.
QString caption(int number, const char* fallback)
{
    const QString s = LoadStr(number);
    return s.isEmpty() ? QString::fromUtf8(fallback) : s;
}

} // namespace

TfrFmtForm::TfrFmtForm(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(276, 217);

    CatLB = new QListWidget(this);
    CatLB->setObjectName(QStringLiteral("CatLB"));
    CatLB->setGeometry(8, 16, 121, 97);
    TypeLB = new QListWidget(this);
    TypeLB->setObjectName(QStringLiteral("TypeLB"));
    TypeLB->setGeometry(136, 16, 121, 97);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 123, 72, 13);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DecEdit = new QLineEdit(QStringLiteral("0"), this);
    DecEdit->setObjectName(QStringLiteral("DecEdit"));
    DecEdit->setGeometry(84, 120, 25, 21);
    Label1->setBuddy(DecEdit);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(136, 123, 92, 13);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SplEdit = new QLineEdit(this);
    SplEdit->setObjectName(QStringLiteral("SplEdit"));
    SplEdit->setGeometry(232, 120, 25, 21);
    SplEdit->setMaxLength(1);
    SplEdit->installEventFilter(this);
    Label2->setBuddy(SplEdit);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(84, 151, 48, 13);
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FormatEdit = new QLineEdit(this);
    FormatEdit->setObjectName(QStringLiteral("FormatEdit"));
    FormatEdit->setGeometry(136, 148, 121, 21);
    Label3->setBuddy(FormatEdit);

    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(117, 188, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(197, 188, 75, 25);

    setWindowTitle(caption(53420, "Variable formatting"));
    Label1->setText(caption(53422, "Decimal digits"));
    Label2->setText(caption(53423, "Frac delimiter"));
    Label3->setText(caption(53424, "Format"));
    Button1->setText(caption(55000, "OK"));
    Button2->setText(caption(55001, "Cancel"));

    connect(Button1, &QPushButton::clicked, this, &TfrFmtForm::accept);
    connect(Button2, &QPushButton::clicked, this, &TfrFmtForm::reject);
    connect(CatLB, &QListWidget::currentRowChanged, this, &TfrFmtForm::categoryChanged);
    connect(TypeLB, &QListWidget::currentRowChanged, this, &TfrFmtForm::kindChanged);
}

void TfrFmtForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    // Filled each time the window shows, from the format it was given.
    const DisplayFormat f = DisplayFormat::unpack(FormatCode);
    const QSignalBlocker blockCategories(CatLB);
    CatLB->clear();
    for (int i = 0; i < DisplayFormat::kCategoryCount; ++i)
        CatLB->addItem(LoadStr(kCategoryNames + i));
    CatLB->setCurrentRow(f.category < DisplayFormat::kCategoryCount ? f.category : 0);
    categoryChanged(CatLB->currentRow());
    if (f.kind < TypeLB->count())
        TypeLB->setCurrentRow(f.kind);
    kindChanged(TypeLB->currentRow());
}

bool TfrFmtForm::eventFilter(QObject* watched, QEvent* event)
{
    // The separator is one character: entering the field selects it, so typing replaces it.
    if (watched == SplEdit && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, SplEdit, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void TfrFmtForm::categoryChanged(int row)
{
    const QSignalBlocker blockKinds(TypeLB);
    TypeLB->clear();
    if (row >= 0) {
        for (int kind = 0; kind < DisplayFormat::kKindsPerCategory; ++kind) {
            const QString sample = LoadStr(kKindSamples + DisplayFormat::kKindsPerCategory * row + kind);
            if (!sample.isEmpty())
                TypeLB->addItem(sample);
        }
    }
    TypeLB->setCurrentRow(0);
    kindChanged(TypeLB->currentRow());
}

void TfrFmtForm::kindChanged(int row)
{
    const DisplayFormat f = DisplayFormat::unpack(FormatCode);
    const bool number = CatLB->currentRow() == static_cast<int>(FormatCategory::Number);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(DecEdit),
             static_cast<QWidget*>(Label2), static_cast<QWidget*>(SplEdit)})
        w->setEnabled(number);
    if (number) {
        DecEdit->setText(QString::number(f.decimals));
        SplEdit->setText(f.separator.isNull() ? QString() : QString(f.separator));
    } else {
        DecEdit->clear();
        SplEdit->clear();
    }
    const bool custom = row == DisplayFormat::kCustomKind;
    Label3->setEnabled(custom);
    FormatEdit->setEnabled(custom);
    FormatEdit->setText(custom ? FormatText : QString());
}

void TfrFmtForm::accept()
{
    DisplayFormat f;
    f.category = qMax(0, CatLB->currentRow());
    f.kind = qMax(0, TypeLB->currentRow());
    // Anything but a number of decimals counts as none; more than the code holds as the most.
    f.decimals = qBound(0, ValueText::tryStrToInt(DecEdit->text()).value_or(0), kMaxDecimals);
    // The code holds one Latin-1 character; without one (or with another) the separator is ",".
    const QString sep = SplEdit->text();
    f.separator = !sep.isEmpty() && sep.at(0).unicode() <= 0xFF ? sep.at(0) : QLatin1Char(',');
    FormatCode = f.pack();
    if (FormatEdit->isEnabled())
        FormatText = FormatEdit->text();
    QDialog::accept();
}

} // namespace vaskel
