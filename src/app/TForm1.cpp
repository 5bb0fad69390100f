#include "app/TForm1.h"

#include "app/BillQueries.h"
#include "platform/DataPaths.h"
#include "platform/GuardedHandler.h"
#include "platform/InterfaceLanguage.h"
#include "platform/PlatformGlobals.h"
#include "report/preview/PreviewWindows.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>

#include <algorithm>

namespace vaskel {

namespace {

// The template Print preview runs, looked up in the working directory.
constexpr const char* kTemplateFile = "look.frf";

QFont pixelFont(const QString& family, int pixels, bool bold = false)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The 16 × 16 printer picture of the Print-preview button; Qt greys it for the disabled state.
QIcon printerIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5); // paper going in
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(1, 6, 13, 6); // body
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 4); // paper coming out
    p.fillRect(11, 8, 2, 1, Qt::green); // power light
    p.end();
    return QIcon(pm);
}

} // namespace

TForm1::TForm1(const QString& odbcConnection, QWidget* parent) : QWidget(parent), data(odbcConnection)
{
    setObjectName(QStringLiteral("Form1"));
    // The window stores only the report's 4-byte form: its template comes from "look.frf".
    frReport1->ReadReportForm(QByteArray("\x19\x00\x00\x00", 4));
    frReport1->Loaded();
    frReport1->setOwner(this);

    buildControls();
    buildLook();

    // Loading the window: the connection and the purchase query open, or the window is not made.
    try {
        ADOConnection1->open();
        ADOQuery1->open();
    } catch (...) {
        delete DBGrid1; // the grids go before the queries they show
        delete DBGrid2;
        throw;
    }

    guarded([this] { FormCreate(); });
}

TForm1::~TForm1()
{
    // The grids go before the queries they show.
    delete DBGrid1;
    delete DBGrid2;
}

void TForm1::buildControls()
{
    setWindowTitle(QStringLiteral("Form1"));
    setGeometry(222, 153, 671, 467);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x95, 0xBB, 0xFF));
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(InterfaceLanguage::interfaceFont(pixelFont(QStringLiteral("MS Sans Serif"), 11)));

    Label4 = new QLabel(QStringLiteral("Qeltrin\u3000\u3000\u3000"), this);
    Label4->setGeometry(204, 16, 336, 24);
    Label4->setFont(pixelFont(QStringLiteral("隶书"), 24));

    const QFont captionFont = pixelFont(QStringLiteral("新宋体"), 15, true);
    QPalette red = palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2 = new QLabel(QStringLiteral("进货："), this);
    Label2->setGeometry(15, 102, 51, 15);
    Label3 = new QLabel(QStringLiteral("销售："), this);
    Label3->setGeometry(10, 257, 51, 15);
    for (QLabel* l : {Label2, Label3}) {
        l->setFont(captionFont);
        l->setPalette(red);
    }

    ComboBox1 = new QComboBox(this);
    ComboBox1->setEditable(true);
    ComboBox1->setFrame(false);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(163, 66, 145, 21);
    ComboBox1->setEditText(QStringLiteral("ComboBox1"));

    Button1 = new QPushButton(QStringLiteral("查\u3000\u3000询"), this);
    Button1->setGeometry(359, 64, 75, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });

    BitBtn21 = new QPushButton(printerIcon(), QStringLiteral("&打印阅览"), this);
    BitBtn21->setGeometry(488, 63, 100, 28);
    BitBtn21->setIconSize(QSize(16, 16));
    connect(BitBtn21, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn21Click(); }); });

    DBGrid1 = new QueryGrid(
        ADOQuery1, {{"LDLP_NO", 76}, {"KPDATE", 79}, {"CMNAME"}, {"CMUNIT"}, {"QNT"}, {"AMT", 68}}, this);
    DBGrid1->setGeometry(67, 104, 561, 129);
    DBGrid2 = new QueryGrid(ADOQuery2,
        {{"LDLP_NO", 78}, {"LJ_DATE", 77}, {"CMNAME", 126}, {"CMUNIT"}, {"QNT", 67}, {"USD_AMT"}}, this);
    DBGrid2->setGeometry(66, 255, 563, 129);
    // The sales grid's title row has the colour of active window borders.
    DBGrid2->setTitleColor(XPSystemColors::fromPalette(QApplication::palette()).activeBorder);

    Edit1 = new QLineEdit(QStringLiteral("Edit1"), this);
    Edit1->setGeometry(328, 400, 161, 21);

    // Tab order: Print preview, Query, the grids, the bill list, the total.
    setTabOrder(BitBtn21, Button1);
    setTabOrder(Button1, DBGrid1);
    setTabOrder(DBGrid1, DBGrid2);
    setTabOrder(DBGrid2, ComboBox1);
    setTabOrder(ComboBox1, Edit1);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutGrids();
}

void TForm1::layoutGrids()
{
    if (!DBGrid1 || !DBGrid2 || !Edit1)
        return;
    // Pixels beyond the start size (671 × 467): the grids take all the width, share the height
    // (the purchase grid the upper half), and the total box stays below them.
    const int extraWidth = std::max(0, width() - 671);
    const int extraHeight = std::max(0, height() - 467);
    const int upper = extraHeight / 2;
    DBGrid1->setGeometry(67, 104, 561 + extraWidth, 129 + upper);
    Label3->move(10, 257 + upper);
    DBGrid2->setGeometry(66, 255 + upper, 563 + extraWidth, 129 + extraHeight - upper);
    Edit1->move(328, 400 + extraHeight);
}

void TForm1::buildLook()
{
    // The component's defaults are the window's values but for the font and Active.
    xmPer = new TXPMenu(this);
    XPMenuSettings look = xmPer->settings();
    look.Font = InterfaceLanguage::interfaceFont(pixelFont(QStringLiteral("Tahoma"), 11));
    look.FontColor = SystemColor::MenuText;
    look.SelectFontColor = XPColorSetting(SystemColor::MenuText);
    xmPer->setSettings(look);
    xmPer->setActive(true);
}

void TForm1::guarded(const std::function<void()>& handler)
{
    runShowingErrors(handler);
}

void TForm1::FormCreate()
{
    BillQueries::requery(*ADOQuery2, QString::fromLatin1(BillQueries::kSalesList));
    // Only adjacent repeats are left out, in the order the database returns the rows.
    QString remembered;
    QStringList bills;
    const DatabaseField& billField = ADOQuery2->fieldByName(QStringLiteral("ldlp_no"));
    while (!ADOQuery2->eof()) {
        const QString bill = billField.asString();
        if (bill != remembered)
            bills << bill;
        remembered = bill;
        ADOQuery2->next();
    }
    ComboBox1->addItems(bills);
    ComboBox1->setCurrentIndex(bills.isEmpty() ? -1 : 0);
}

void TForm1::Button1Click()
{
    data.selectBill(ComboBox1->currentText());
}

void TForm1::BitBtn21Click()
{
    // The report prints the bill chosen in the list: its queries run first, as Query runs them,
    // so that a preview before any Query shows that bill rather than every sales line under the
    // first bill's heading, and the total box and the printout speak of the same bill.
    data.selectBill(ComboBox1->currentText());
    // The total runs on a query of its own: the purchase query keeps the bill's lines, so grid 1
    // and the report's frDBDataSet1 go on showing what Query (or start-up) put there.
    Edit1->setText(data.billTotalText(ComboBox1->currentText()));
    // A missing file loads nothing and says nothing: the report runs the template it already holds.
    frReport1->LoadTemplate(DataPaths::templateFile(QString::fromLatin1(kTemplateFile)));
    // The report's own preview window, not an embedded control; a saved copy is offered under the
    // bill's number.
    frReport1->Preview = nullptr;
    if (PreviewWindows* windows = PreviewWindows::installed())
        windows->fileNameHint = ComboBox1->currentText();
    // Template errors, calculation errors and Cancel are shown by the report and answer false.
    if (!frReport1->Prepare())
        return;
    if (OnShowPrepared)
        OnShowPrepared(*frReport1);
    frReport1->ShowPrepared();
}

DatasetComponent* TForm1::findComponent(const QString& name) const
{
    return data.host().findComponent(name);
}

DatasetComponentOwner* TForm1::findApplicationOwner(const QString& name) const
{
    // The query window is the application's only window and data module.
    return name.compare(objectName(), Qt::CaseInsensitive) == 0 ? const_cast<TForm1*>(this) : nullptr;
}

} // namespace vaskel
